#include "platform/linux/wallpaper/PcmanfmWallpaper.h"

#include <QString>

#include <string>

#include "platform/linux/wallpaper/SessionBus.h"

namespace dornava {

bool PcmanfmWallpaper::Apply(std::string_view path) {
  path = StoredPath(path);
  if (path.empty()) return false;
  if (kind_ == Kind::kLxde) {
    // Inside the option's own argument, a path beginning with "-" is never read as an option.
    return RunProgram({"pcmanfm", "--set-wallpaper=" + std::string(path), "--wallpaper-mode=crop"});
  }
  // A bus string is UTF-8: other bytes would come out as another file's name.
  const QString text = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
  if (text.toStdString() != path) return false;
  SessionBus bus;
  // Versions that do not know "zoom" keep the mode the user chose; LXQt's default draws.
  const QDBusMessage reply =
      bus.Call(QStringLiteral("org.pcmanfm.PCManFM"), QStringLiteral("/Application"),
               QStringLiteral("org.pcmanfm.Application"), QStringLiteral("setWallpaper"),
               {text, QStringLiteral("zoom")});
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace dornava
