#include "platform/linux/XdgAutostart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/linux/FoldCase.h"
#include "platform/linux/UserFiles.h"
#include "store/Utf8.h"
#include "store/Locations.h"

namespace dornava {

namespace {

// Larger files are not desktop entries we wrote, and reading one must not stall the Load.
constexpr std::size_t kMaxEntrySize = 1 << 20;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::int32_t StatusOf(int error) {
  return error == EACCES || error == EPERM || error == EROFS ? kErrorAccessDenied
                                                             : kErrorRegistryIoFailed;
}

// Text a desktop entry's string value can carry: UTF-8 without control characters other than
// the ones its escapes cover.
bool Representable(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = DecodeUtf8(text, i, &c);
    if (length == 0) return false;
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) return false;
    i += length;
  }
  return true;
}

// The string-value escapes; a leading blank would otherwise be trimmed by readers.
std::string EscapeString(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == ' ' && i == 0) {
      out += "\\s";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
    text.remove_suffix(1);
  return std::string(text);
}

enum class Read { kOk, kAbsent, kUnknown };

// A regular file's contents; never blocks on a FIFO or runs away with a device.
Read ReadEntry(const std::string& path, std::string* content) {
  content->clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? Read::kAbsent : Read::kUnknown;
  struct stat info;
  Read result = Read::kOk;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::size_t>(info.st_size) > kMaxEntrySize) {
    result = Read::kUnknown;
  }
  char buffer[4096];
  while (result == Read::kOk) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      result = Read::kUnknown;
      break;
    }
    content->append(buffer, static_cast<std::size_t>(got));
    if (content->size() > kMaxEntrySize) result = Read::kUnknown;
  }
  ::close(fd);
  return result;
}

// Whether the desktop would start the entry: it exists and neither of the switches the
// desktops' settings use to turn an entry off is set. Keys are read as GLib reads them:
// case-sensitive, in the main group, the last occurrence wins.
bool EntryEnabled(const std::string& path) {
  std::string content;
  if (ReadEntry(path, &content) != Read::kOk) return false;
  bool inMain = false;
  bool hidden = false;
  bool enabled = true;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    const std::string line = Trim(std::string_view(content).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inMain = line == "[Desktop Entry]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inMain || equals == std::string::npos) continue;
    const std::string key = Trim(std::string_view(line).substr(0, equals));
    const std::string value = Trim(std::string_view(line).substr(equals + 1));
    if (key == "Hidden") hidden = value == "true" || value == "1";
    if (key == "X-GNOME-Autostart-enabled") enabled = !(value == "false" || value == "0");
  }
  return !hidden && enabled;
}

std::int32_t WriteEntry(const std::string& folder, const std::string& path,
                        const std::string& content) {
  const int error = ReplaceFile(folder, path, content);
  return error == 0 ? kErrorSuccess : StatusOf(error);
}

std::int32_t RemoveEntry(const std::string& folder, const std::string& path) {
  if (::unlink(path.c_str()) != 0) {
    // No folder, or a file in its place: there is no entry to remove.
    return errno == ENOENT || errno == ENOTDIR ? kErrorSuccess : StatusOf(errno);
  }
  SyncFolder(folder);
  return kErrorSuccess;
}

// The entry for `name` as it was before a change, to put back when the registry refuses the
// change.
struct Previous {
  Read state;
  std::string content;
};

void PutBack(const std::string& folder, const std::string& path, const Previous& previous) {
  if (previous.state == Read::kOk) {
    WriteEntry(folder, path, previous.content);
  } else if (previous.state == Read::kAbsent) {
    RemoveEntry(folder, path);
  }
}

// The entry that starts `argv`, or empty when `name` or the command cannot be written in one.
std::string EntryText(std::string_view name, const std::vector<std::string>& argv) {
  if (!Representable(name)) return {};
  for (const std::string& argument : argv) {
    if (!Representable(argument)) return {};
  }
  return "# Kept in step with Dornava's autostart setting; Dornava rewrites or removes it.\n"
         "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" +
         EscapeString(name) +
         "\n"
         "Exec=" +
         DesktopExec(argv) +
         "\n"
         "Hidden=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

}  // namespace

XdgAutostart::XdgAutostart(SqliteRegistry& inner, std::string autostartFolder)
    : inner_(inner), folder_(std::move(autostartFolder)) {
  const std::string runKey(kRunKey);
  RegKey key = 0;
  std::uint32_t disposition = 0;
  if (inner_.CreateKeyEx(kHkeyCurrentUser, runKey.c_str(), 0, nullptr, 0, kKeyAccess, nullptr, &key,
                         &disposition) == kErrorSuccess) {
    inner_.CloseKey(key);
  }
}

bool XdgAutostart::IsRunKey(RegKey key) {
  RegKey root = 0;
  std::string path;
  if (inner_.KeyPath(key, &root, &path) != kErrorSuccess) return false;
  return root == kHkeyCurrentUser && FoldCase(path) == FoldCase(kRunKey);
}

std::string XdgAutostart::EntryPath(std::string_view name) const {
  return folder_ + '/' + AutostartFileName(name);
}

std::int32_t XdgAutostart::OpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                                     std::uint32_t access, RegKey* result) {
  return inner_.OpenKeyEx(root, subKey, options, access, result);
}

std::int32_t XdgAutostart::CreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                                       const char* keyClass, std::uint32_t options,
                                       std::uint32_t access, const void* security, RegKey* result,
                                       std::uint32_t* disposition) {
  return inner_.CreateKeyEx(root, subKey, reserved, keyClass, options, access, security, result,
                            disposition);
}

std::int32_t XdgAutostart::QueryValueEx(RegKey key, const char* name, std::uint32_t* reserved,
                                        std::uint32_t* type, std::uint8_t* data,
                                        std::uint32_t* size) {
  const std::int32_t status = inner_.QueryValueEx(key, name, reserved, type, data, size);
  if ((status == kErrorSuccess || status == kErrorMoreData) && IsRunKey(key) &&
      !EntryEnabled(EntryPath(name ? name : ""))) {
    // The user turned autostart off in the desktop's settings, or removed the entry.
    return kErrorFileNotFound;
  }
  return status;
}

std::int32_t XdgAutostart::SetValueEx(RegKey key, const char* name, std::uint32_t reserved,
                                      std::uint32_t type, const std::uint8_t* data,
                                      std::uint32_t size) {
  if ((size && !data) || !IsRunKey(key)) {
    return inner_.SetValueEx(key, name, reserved, type, data, size);
  }
  const std::string valueName = name ? name : "";
  const std::string path = EntryPath(valueName);
  Previous previous;
  previous.state = ReadEntry(path, &previous.content);

  std::vector<std::string> argv;
  if (type == kRegSz || type == kRegExpandSz) {
    const std::string_view text =
        data ? std::string_view(reinterpret_cast<const char*>(data), size) : std::string_view();
    argv = SplitRunCommand(text.substr(0, text.find('\0')));
  }
  std::int32_t status = kErrorSuccess;
  if (argv.empty()) {
    // Nothing the system would start: no entry either.
    status = RemoveEntry(folder_, path);
  } else {
    const std::string entry = EntryText(valueName, argv);
    status = entry.empty() ? kErrorInvalidParameter : WriteEntry(folder_, path, entry);
  }
  if (status != kErrorSuccess) return status;

  status = inner_.SetValueEx(key, name, reserved, type, data, size);
  if (status != kErrorSuccess) PutBack(folder_, path, previous);
  return status;
}

std::int32_t XdgAutostart::DeleteValue(RegKey key, const char* name) {
  if (!IsRunKey(key)) return inner_.DeleteValue(key, name);
  const std::string path = EntryPath(name ? name : "");
  Previous previous;
  previous.state = ReadEntry(path, &previous.content);
  if (const std::int32_t status = RemoveEntry(folder_, path); status != kErrorSuccess) {
    return status;
  }
  const std::int32_t status = inner_.DeleteValue(key, name);
  // A value that was not there needs no entry either.
  if (status != kErrorSuccess && status != kErrorFileNotFound) {
    PutBack(folder_, path, previous);
  }
  return status;
}

std::int32_t XdgAutostart::CloseKey(RegKey key) {
  return inner_.CloseKey(key);
}

void XdgAutostart::BeginBatch(bool writes) {
  inner_.BeginBatch(writes);
}

void XdgAutostart::EndBatch() {
  inner_.EndBatch();
}

std::string DefaultAutostartFolder() {
  return ConfigHome() + "/autostart";
}

std::string AutostartFileName(std::string_view name) {
  // Lower-cased from the folded name, so every spelling the registry takes for the same value
  // names the same file.
  const std::string folded = FoldCase(name);
  std::string out;
  for (std::size_t i = 0; i < folded.size();) {
    char32_t c = 0;
    std::size_t length = DecodeUtf8(folded, i, &c);
    if (length == 0) {
      out += folded[i++];
      continue;
    }
    std::string letter = folded.substr(i, length);
    if (c >= 'A' && c <= 'Z') {
      letter = static_cast<char>(c + 32);
    } else if (c >= 0x80 && c < 0x800) {
      // The folding knows only upper case: its lower partner is the one that folds back.
      for (const char32_t offset : {32u, 1u, 80u}) {
        std::string lower;
        AppendUtf8(lower, c + offset);
        if (FoldCase(lower) == letter) {
          letter = lower;
          break;
        }
      }
    }
    out += letter;
    i += length;
  }
  for (char& c : out) {
    if (c == '/') c = '_';
  }
  if (out.empty() || out[0] == '.') out.insert(0, "_");
  return out + ".desktop";
}

std::vector<std::string> SplitRunCommand(std::string_view command) {
  while (!command.empty() && IsBlank(command.front()))
    command.remove_prefix(1);
  if (command.empty()) return {};
  std::vector<std::string> argv;
  std::string_view rest;
  if (command.front() == '"') {
    const std::size_t close = command.rfind('"');
    if (close == 0) {
      argv.emplace_back(command.substr(1));
    } else {
      argv.emplace_back(command.substr(1, close - 1));
      rest = command.substr(close + 1);
    }
  } else {
    const std::size_t end = std::min(command.find_first_of(" \t"), command.size());
    argv.emplace_back(command.substr(0, end));
    rest = command.substr(end);
  }
  if (argv.front().empty()) return {};
  while (!rest.empty()) {
    if (IsBlank(rest.front())) {
      rest.remove_prefix(1);
      continue;
    }
    const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
    argv.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end);
  }
  return argv;
}

std::string DesktopExec(const std::vector<std::string>& argv) {
  // Reserved characters, and a carriage return, which some readers split on.
  constexpr std::string_view kReserved = " \t\n\r\"'\\><~|&;$*?#()`";
  std::string line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += ' ';
    if (!argument.empty() && argument.find_first_of(kReserved) == std::string::npos) {
      line += argument;
      continue;
    }
    line += '"';
    for (const char c : argument) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') line += '\\';
      line += c;
    }
    line += '"';
  }
  // The string escapes come after the quoting, so a quoted backslash ends up as four.
  std::string out;
  for (const char c : EscapeString(line)) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

RawRegistry& LinuxRegistry() {
  static XdgAutostart registry(ProcessRegistry(), DefaultAutostartFolder());
  return registry;
}

}  // namespace dornava
