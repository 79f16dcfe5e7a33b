#include "platform/linux/wallpaper/CosmicWallpaper.h"

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

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

// The service reloads a key as soon as its file changes, so each is written aside, synced and
// renamed over the old one: it reads either the old file or the new, never half of one.
bool WriteWhole(const std::filesystem::path& folder, const char* key, std::string_view content) {
  std::string temporary = (folder / ("." + std::string(key) + ".XXXXXX")).string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool written = ::fchmod(fd, 0644) == 0;
  for (std::size_t done = 0; written && done < content.size();) {
    const ssize_t count = ::write(fd, content.data() + done, content.size() - done);
    written = count > 0;
    if (written) done += static_cast<std::size_t>(count);
  }
  written = ::fsync(fd) == 0 && written;
  written = ::close(fd) == 0 && written;
  if (written && ::rename(temporary.c_str(), (folder / key).c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

std::optional<std::filesystem::path> ConfigHome() {
  const std::string configHome = EnvironmentValue("XDG_CONFIG_HOME");
  // A relative XDG_CONFIG_HOME is to be ignored, like an empty one.
  if (configHome.starts_with('/')) return configHome;
  const std::string home = EnvironmentValue("HOME");
  if (home.empty()) return std::nullopt;
  return std::filesystem::path(home) / ".config";
}

}  // namespace

bool CosmicWallpaper::Apply(std::string_view path) {
  path = StoredPath(path);
  const auto source = RonString(path);
  const auto configHome = ConfigHome();
  if (path.empty() || !source || !configHome) return false;
  const auto folder = *configHome / "cosmic" / "com.system76.CosmicBackground" / "v1";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return false;
  // Every field the service requires; the rest as it would write them for a new entry.
  const std::string entry = "(\n    output: \"all\",\n    source: Path(" + *source +
                            "),\n    filter_by_theme: false,\n    rotation_frequency: 900,\n"
                            "    filter_method: Lanczos,\n    scaling_mode: Zoom,\n"
                            "    sampling_method: Alphanumeric,\n)";
  // The entry first: once same-on-all is true the service shows whatever "all" names.
  return WriteWhole(folder, "all", entry) && WriteWhole(folder, "same-on-all", "true");
}

}  // namespace dornava
