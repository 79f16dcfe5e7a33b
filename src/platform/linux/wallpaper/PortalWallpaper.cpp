#include "platform/linux/wallpaper/PortalWallpaper.h"

#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <optional>
#include <string>

#include "platform/linux/wallpaper/SessionBus.h"

namespace dornava {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Wallpaper");

// Waits for the Response of one request.
class Response : public QObject {
  Q_OBJECT
 public:
  std::optional<uint> code;
  QEventLoop loop;

 public Q_SLOTS:
  void Arrived(uint response, const QVariantMap&) {
    code = response;
    loop.quit();
  }
};

}  // namespace

bool PortalWallpaper::Apply(std::string_view path) {
  path = StoredPath(path);
  if (path.empty()) return false;
  const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const QDBusUnixFileDescriptor file(fd);  // holds a duplicate
  ::close(fd);
  SessionBus bus;
  if (!bus.IsConnected() || !file.isValid()) return false;

  // The request's path follows from our name and the token, so the answer is listened for
  // before the call: a fast portal may send it before its reply reaches us.
  static std::atomic<unsigned> count{0};
  const QString token = QStringLiteral("dornava%1").arg(count++);
  const QString sender = bus.Connection().baseService().mid(1).replace(u'.', u'_');
  const QString request = kPath + QStringLiteral("/request/") + sender + u'/' + token;
  Response response;
  if (!bus.Connection().connect(kService, request, QStringLiteral("org.freedesktop.portal.Request"),
                                QStringLiteral("Response"), &response,
                                SLOT(Arrived(uint, QVariantMap)))) {
    return false;
  }
  const QVariantMap options{{QStringLiteral("handle_token"), token},
                            {QStringLiteral("show-preview"), false},
                            {QStringLiteral("set-on"), QStringLiteral("background")}};
  const QDBusMessage reply =
      bus.Call(kService, kPath, kInterface, QStringLiteral("SetWallpaperFile"),
               {QString(), QVariant::fromValue(file), options});
  if (reply.type() != QDBusMessage::ReplyMessage) return false;
  // The answer is delivered through the event loop, even one that came during the call.
  QTimer::singleShot(kDesktopTimeoutMs, &response.loop, &QEventLoop::quit);
  if (!response.code) response.loop.exec();
  return response.code == 0u;
}

bool PortalWallpaper::Offered() {
  SessionBus bus;
  if (!bus.IsConnected()) return false;
  QDBusMessage get = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << kInterface << QStringLiteral("version");
  // Asked while the program starts: a portal that is slow to come up counts as none.
  const QDBusMessage reply = bus.Connection().call(get, QDBus::Block, 1000);
  return reply.type() == QDBusMessage::ReplyMessage &&
         reply.arguments().value(0).value<QDBusVariant>().variant().toUInt() >= 1;
}

}  // namespace dornava

#include "PortalWallpaper.moc"
