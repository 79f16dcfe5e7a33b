#include "platform/linux/wallpaper/PlasmaWallpaper.h"

#include <QString>

#include <cstdio>

#include "platform/linux/wallpaper/SessionBus.h"

namespace dornava {
namespace {

// A JavaScript string literal holding only printable ASCII, so no quote, line break or
// separator in the text can end it or the line early.
std::string JsString(std::string_view text) {
  std::string literal = "\"";
  for (const QChar unit : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))) {
    const char16_t code = unit.unicode();
    if (code >= 0x20 && code < 0x7F && code != '"' && code != '\\') {
      literal += static_cast<char>(code);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(code));
      literal += escape;
    }
  }
  return literal + "\"";
}

bool IsUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdString() == text;
}

}  // namespace

std::string PlasmaScript(std::string_view path) {
  // FillMode 2 is the image's "scaled and cropped".
  return "var all = desktops();\n"
         "for (var i = 0; i < all.length; ++i) {\n"
         "  var d = all[i];\n"
         "  d.wallpaperPlugin = \"org.kde.image\";\n"
         "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
         "  d.writeConfig(\"Image\", " +
         JsString(FileUri(StoredPath(path))) +
         ");\n"
         "  d.writeConfig(\"FillMode\", 2);\n"
         "}\n";
}

bool PlasmaWallpaper::Apply(std::string_view path) {
  path = StoredPath(path);
  // The shell turns the URL back into text: bytes that are not UTF-8 would name another file.
  if (path.empty() || !IsUtf8(path)) return false;
  SessionBus bus;
  const QDBusMessage reply =
      bus.Call(QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
               QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"),
               {QString::fromStdString(PlasmaScript(path))});
  // The script prints nothing, so any text in the answer is the shell's complaint (a widget
  // lock, a kiosk rule, a script error).
  return reply.type() == QDBusMessage::ReplyMessage && reply.signature() == u"s" &&
         reply.arguments().front().toString().isEmpty();
}

}  // namespace dornava
