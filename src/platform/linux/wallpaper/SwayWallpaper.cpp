#include "platform/linux/wallpaper/SwayWallpaper.h"

#include <errno.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace dornava {
namespace {

constexpr std::string_view kLinkPrefix = "wallpaper-";

bool Alphanumeric(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool PlainByte(char c) {
  return Alphanumeric(c) || c == '.' || c == '_' || c == '/' || c == '-';
}

// Relative paths are out too: sway reads them against its configuration folder.
bool Plain(std::string_view path) {
  if (path.empty() || path.front() != '/') return false;
  for (const char c : path) {
    if (!PlainByte(c)) return false;
  }
  return true;
}

// Ours alone: a real folder, not a link to one, owned by us and closed to everyone else.
bool Private(const std::string& folder) {
  struct stat info;
  return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700;
}

std::string RuntimeFolder() {
  const std::string runtime = EnvironmentValue("XDG_RUNTIME_DIR");
  if (!runtime.empty()) {
    const std::string folder = runtime + "/dornava";
    ::mkdir(folder.c_str(), 0700);  // it may be there already; Private() judges it either way
    return Private(folder) ? folder : "";
  }
  static const std::string fallback = [] {
    char name[] = "/tmp/dornava-XXXXXX";
    return ::mkdtemp(name) ? std::string(name) : std::string();
  }();
  return !fallback.empty() && Private(fallback) ? fallback : "";
}

// Some readers choose the decoder by the name's ending, so a plain one is kept.
std::string PlainExtension(std::string_view path) {
  const auto dot = path.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == path.size() || path.size() - dot > 11 ||
      path.find('/', dot) != std::string_view::npos) {
    return "";
  }
  for (const char c : path.substr(dot + 1)) {
    if (!Alphanumeric(c)) return "";
  }
  return std::string(path.substr(dot));
}

void SleepMs(long ms) {
  const timespec pause{ms / 1000, (ms % 1000) * 1'000'000};
  ::nanosleep(&pause, nullptr);
}

// sway's IPC framing: "i3-ipc", the payload's length and the message type, both 32-bit in native
// byte order, then the payload.
constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t kHeaderSize = sizeof kMagic + 2 * sizeof(std::uint32_t);
constexpr std::uint32_t kRunCommand = 0;
constexpr std::uint32_t kLongestReply = 1 << 20;

bool SendAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int fd, char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t got = ::recv(fd, data, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // closed, or the timeout passed
    data += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool SendCommand(int fd, const std::string& command) {
  char header[kHeaderSize];
  const auto length = static_cast<std::uint32_t>(command.size());
  std::memcpy(header, kMagic, sizeof kMagic);
  std::memcpy(header + sizeof kMagic, &length, sizeof length);
  std::memcpy(header + sizeof kMagic + sizeof length, &kRunCommand, sizeof kRunCommand);
  return SendAll(fd, header, sizeof header) && SendAll(fd, command.data(), command.size());
}

bool ReceiveReply(int fd, std::string* reply) {
  char header[kHeaderSize];
  std::uint32_t length = 0, type = 0;
  if (!ReceiveAll(fd, header, sizeof header)) return false;
  std::memcpy(&length, header + sizeof kMagic, sizeof length);
  std::memcpy(&type, header + sizeof kMagic + sizeof length, sizeof type);
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0 || type != kRunCommand ||
      length > kLongestReply) {
    return false;
  }
  reply->resize(length);
  return ReceiveAll(fd, reply->data(), length);
}

// Asks once, then insists: swaybg ends on SIGTERM, but a stuck one must not stay on screen.
void Stop(pid_t pid) {
  ::kill(pid, SIGTERM);
  for (int waited = 0; waited < 1000; waited += 20) {
    if (::waitpid(pid, nullptr, WNOHANG) != 0) return;
    SleepMs(20);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace

std::string PlainPath(std::string_view path) {
  if (Plain(path)) return std::string(path);
  const std::string folder = RuntimeFolder();
  if (folder.empty() || path.empty()) return "";
  std::error_code error;
  const std::string target = std::filesystem::absolute(std::string(path), error).string();
  if (error) return "";
  const std::string extension = PlainExtension(path);
  // A new name each time: a reader that caches pictures by name must not show the old one.
  timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  const long long stamp = now.tv_sec * 1'000'000'000LL + now.tv_nsec;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string link =
        folder + "/" + std::string(kLinkPrefix) + std::to_string(stamp + attempt) + extension;
    if (::symlink(target.c_str(), link.c_str()) == 0) return link;
    if (errno != EEXIST) return "";
  }
  return "";
}

void KeepOnlyLink(std::string_view kept) {
  const std::string folder = RuntimeFolder();
  if (folder.empty()) return;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().filename().string().starts_with(kLinkPrefix) && entry.is_symlink(error) &&
        entry.path().string() != kept) {
      std::filesystem::remove(entry.path(), error);
    }
  }
}

// A run command answers with one object per command, each saying whether it succeeded.
bool SwayRunSucceeded(const std::string& reply) {
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(reply));
  if (!document.isArray() || document.array().isEmpty()) return false;
  for (const auto& result : document.array()) {
    if (!result.isObject() || !result.toObject().value("success").toBool()) return false;
  }
  return true;
}

bool SwayWallpaper::Apply(std::string_view path) {
  const std::string socketPath = EnvironmentValue("SWAYSOCK");
  sockaddr_un address{};
  if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path) return false;
  const std::string plain = PlainPath(StoredPath(path));
  if (plain.empty()) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // On a UNIX socket these bound connect as well as every send and receive.
  const timeval timeout{kDesktopTimeoutMs / 1000, (kDesktopTimeoutMs % 1000) * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string reply;
  const bool answered =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
      SendCommand(fd, "output * bg " + plain + " fill") && ReceiveReply(fd, &reply);
  ::close(fd);
  if (!answered || !SwayRunSucceeded(reply)) return false;
  KeepOnlyLink(plain);
  return true;
}

bool HyprlandWallpaper::Apply(std::string_view path) {
  const std::string plain = PlainPath(StoredPath(path));
  if (plain.empty()) return false;
  // Older hyprpaper shows only preloaded pictures and reads just "monitor,path"; newer ones know
  // no preload and fit by cover unless told otherwise. This sequence suits both.
  RunProgram({"hyprctl", "hyprpaper", "preload", plain});
  if (!RunProgram({"hyprctl", "hyprpaper", "wallpaper", "," + plain})) return false;
  // Older ones keep every preloaded picture in memory until told otherwise.
  RunProgram({"hyprctl", "hyprpaper", "unload", "unused"});
  KeepOnlyLink(plain);
  return true;
}

bool SwaybgWallpaper::Apply(std::string_view path) {
  const std::string file(StoredPath(path));
  if (file.empty()) return false;
  // An argument of its own: swaybg takes any path as it is.
  const pid_t started = StartProgram({"swaybg", "-o", "*", "-i", file, "-m", "fill"});
  if (started < 0) return false;
  // swaybg ends at once without a compositor or a readable picture; the old one stays on screen
  // until the new one has lasted a moment.
  for (int waited = 0; waited < 300; waited += 20) {
    if (::waitpid(started, nullptr, WNOHANG) == started) return false;
    SleepMs(20);
  }
  if (running_ > 0) Stop(running_);
  running_ = started;
  return true;
}

}  // namespace dornava
