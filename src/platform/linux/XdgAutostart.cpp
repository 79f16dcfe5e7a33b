#include "platform/linux/XdgAutostart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/linux/DesktopEntry.h"
#include "platform/linux/FoldCase.h"
#include "platform/linux/UserFiles.h"
#include "store/Locations.h"

namespace dornava {

namespace {

// Larger files are not desktop entries we wrote, and reading one must not stall the Load.
constexpr std::size_t kMaxEntrySize = 1 << 20;

std::int32_t StatusOf(int error) {
  return error == EACCES || error == EPERM || error == EROFS ? kErrorAccessDenied
                                                             : kErrorRegistryIoFailed;
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

// Whether the desktop would start the entry at `path`: it is there, a regular file, and not
// switched off.
bool EntryEnabled(const std::string& path) {
  std::string content;
  return ReadEntry(path, &content) == Read::kOk && AutostartEntryEnabled(content);
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
    const std::string entry = AutostartEntryText(valueName, argv);
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

RawRegistry& LinuxRegistry() {
  static XdgAutostart registry(ProcessRegistry(), ConfigHome() + "/autostart");
  return registry;
}

}  // namespace dornava
