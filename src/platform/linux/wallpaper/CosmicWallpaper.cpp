#include "platform/linux/wallpaper/CosmicWallpaper.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <optional>
#include <string>

#include "platform/linux/UserFiles.h"

namespace dornava {
namespace {

// The path as a RON string literal; none when it is not UTF-8, which the service's paths must be.
std::optional<std::string> RonString(std::string_view text) {
  const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
  // Qt replaces what is not UTF-8 (overlong forms and surrogates included), so a round trip
  // that changes the bytes gives such a path away.
  if (QString::fromUtf8(bytes).toUtf8() != bytes) return std::nullopt;
  std::string literal = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      literal += '\\';
      literal += ch;
    } else if (ch == '\n') {
      literal += "\\n";
    } else if (ch == '\r') {
      literal += "\\r";
    } else if (ch == '\t') {
      literal += "\\t";
    } else if (c < 0x20 || c == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u{%x}", c);
      literal += escape;
    } else {
      literal += ch;
    }
  }
  return literal + '"';
}

}  // namespace

bool CosmicWallpaper::Apply(std::string_view path) {
  path = StoredPath(path);
  const auto source = RonString(path);
  if (path.empty() || !source) return false;
  const std::string folder = ConfigHome() + "/cosmic/com.system76.CosmicBackground/v1";
  // Every field the service requires; the rest as it would write them for a new entry.
  const std::string entry = "(\n    output: \"all\",\n    source: Path(" + *source +
                            "),\n    filter_by_theme: false,\n    rotation_frequency: 900,\n"
                            "    filter_method: Lanczos,\n    scaling_mode: Zoom,\n"
                            "    sampling_method: Alphanumeric,\n)";
  // The service reloads a key as soon as its file changes, so each is replaced whole; the entry
  // first, as once same-on-all is true the service shows whatever "all" names.
  return ReplaceFile(folder, folder + "/all", entry) == 0 &&
         ReplaceFile(folder, folder + "/same-on-all", "true") == 0;
}

}  // namespace dornava
