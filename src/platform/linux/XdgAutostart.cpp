#include "platform/linux/XdgAutostart.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
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

// The program a Run value starts; empty when it starts nothing.
std::vector<std::string> RunArgv(std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
  if (type != kRegSz && type != kRegExpandSz) return {};
  const std::string_view text =
      data ? std::string_view(reinterpret_cast<const char*>(data), size) : std::string_view();
  return SplitRunCommand(text.substr(0, text.find('\0')));
}

}  // namespace

XdgAutostart::XdgAutostart(SqliteRegistry& inner, std::string autostartFolder)
    : inner_(inner), folder_(std::move(autostartFolder)) {
  ReconcileRunKey();
}

bool XdgAutostart::Reconnect() {
  if (!inner_.Reconnect()) return false;
  ReconcileRunKey();
  return true;
}

void XdgAutostart::ReconcileRunKey() {
  const std::string runKey(kRunKey);
  // Under the write lock, so no other instance is between an entry and its value meanwhile.
  RegBatch batch(inner_, true);
  RegKey key = 0;
  std::uint32_t disposition = 0;
  // Fails when the lock cannot be had: then the next opening sets things right.
  if (inner_.CreateKeyEx(kHkeyCurrentUser, runKey.c_str(), 0, nullptr, 0, kKeyAccess, nullptr, &key,
                         &disposition) != kErrorSuccess) {
    return;
  }
  // A registry in memory stands in for one that could not be opened: it says nothing about
  // the user's entries.
  if (!inner_.InMemory()) Reconcile(key);
  inner_.CloseKey(key);
}

// Changes write the entry first and the value second, and deletions likewise, so a crash
// between the two leaves the entry changed and the value as it was. The value, committed
// whole, is then the last state the program saw through this layer:
// - an enabled entry without a value, or for a value that starts nothing: a write cut short,
//   undone by removing the entry;
// - an enabled entry starting something other than the value: an overwrite cut short, undone
//   by writing the value's entry;
// - a value that starts something but has no entry: a deletion cut short, or the user removed
//   the entry; either way the value already reads as absent, and is deleted;
// - an entry switched off in the desktop's settings is the user's choice: left as it is, its
//   value kept (reading as absent) for when they switch it on again.
// An entry that no value names is removed only when Dornava wrote it.
void XdgAutostart::Reconcile(RegKey runKey) {
  std::vector<RegValueRecord> values;
  if (inner_.EnumValues(runKey, &values) != kErrorSuccess) return;
  std::set<std::string> named;
  for (const RegValueRecord& value : values) {
    named.insert(AutostartFileName(value.name));
    const std::string path = EntryPath(value.name);
    Previous entry;
    entry.state = ReadEntry(path, &entry.content);
    if (entry.state == Read::kUnknown ||
        (entry.state == Read::kOk && !AutostartEntryEnabled(entry.content))) {
      continue;
    }
    const std::vector<std::string> argv =
        RunArgv(value.type, reinterpret_cast<const std::uint8_t*>(value.data.data()),
                static_cast<std::uint32_t>(value.data.size()));
    const std::string wanted = argv.empty() ? std::string() : AutostartEntryText(value.name, argv);
    if (entry.state == Read::kAbsent) {
      if (!wanted.empty()) inner_.DeleteValue(runKey, value.name.c_str());
    } else if (wanted.empty()) {
      RemoveEntry(folder_, path);
    } else if (AutostartEntryExec(entry.content) != DesktopExec(argv)) {
      WriteEntry(folder_, path, wanted);
    }
  }
  DIR* folder = ::opendir(folder_.c_str());
  if (!folder) return;
  while (const dirent* item = ::readdir(folder)) {
    const std::string name = item->d_name;
    if (!name.ends_with(".desktop") || named.count(name)) continue;
    const std::string path = folder_ + '/' + name;
    std::string content;
    if (ReadEntry(path, &content) == Read::kOk && IsOwnAutostartEntry(content) &&
        AutostartEntryEnabled(content)) {
      RemoveEntry(folder_, path);
    }
  }
  ::closedir(folder);
}

template <class Change>
std::int32_t XdgAutostart::InBatch(Change change) {
  const bool outermost = depth_ == 0;
  BeginBatch(true);
  std::int32_t status = change();
  // A change of its own is all or nothing; within the caller's batch, the caller decides.
  if (outermost && status != kErrorSuccess && status != kErrorFileNotFound) inner_.AbandonBatch();
  EndBatch();
  if (outermost && status == kErrorSuccess && !inner_.LastBatchKept()) {
    status = kErrorRegistryIoFailed;
  }
  return status;
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
  return InBatch([&] {
    const std::string valueName = name ? name : "";
    const std::string path = EntryPath(valueName);
    Previous previous;
    previous.state = ReadEntry(path, &previous.content);

    const std::vector<std::string> argv = RunArgv(type, data, size);
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
    if (status != kErrorSuccess) {
      PutBack(folder_, path, previous);
    } else if (previous.state != Read::kUnknown) {
      saved_.push_back({path, previous.state == Read::kOk, std::move(previous.content)});
    }
    return status;
  });
}

std::int32_t XdgAutostart::DeleteValue(RegKey key, const char* name) {
  if (!IsRunKey(key)) return inner_.DeleteValue(key, name);
  return InBatch([&] {
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
    } else if (previous.state == Read::kOk) {
      saved_.push_back({path, true, std::move(previous.content)});
    }
    return status;
  });
}

std::int32_t XdgAutostart::CloseKey(RegKey key) {
  return inner_.CloseKey(key);
}

void XdgAutostart::BeginBatch(bool writes) {
  ++depth_;
  inner_.BeginBatch(writes);
}

void XdgAutostart::EndBatch() {
  inner_.EndBatch();
  if (depth_ == 0 || --depth_ > 0) return;
  if (!inner_.LastBatchKept()) {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      PutBack(folder_, it->path, Previous{it->existed ? Read::kOk : Read::kAbsent, it->content});
    }
  }
  saved_.clear();
}

std::int32_t XdgAutostart::EnumValues(RegKey key, std::vector<RegValueRecord>* values) {
  const std::int32_t status = inner_.EnumValues(key, values);
  if (status == kErrorSuccess && IsRunKey(key)) {
    // As QueryValueEx reads them.
    std::erase_if(*values,
                  [this](const RegValueRecord& v) { return !EntryEnabled(EntryPath(v.name)); });
  }
  return status;
}

std::int32_t XdgAutostart::DeleteKeyTree(RegKey root, const char* subKey) {
  return InBatch([&] {
    RegKey tree = 0;
    RegKey treeRoot = 0;
    std::string treePath;
    if (inner_.OpenKeyEx(root, subKey, 0, kKeyQueryValue, &tree) == kErrorSuccess) {
      inner_.KeyPath(tree, &treeRoot, &treePath);
      inner_.CloseKey(tree);
    }
    const std::string run = FoldCase(kRunKey), top = FoldCase(treePath);
    // The Run values go one by one, each with its entry; a root is not deleted at all.
    RegKey runKey = 0;
    if (treeRoot == kHkeyCurrentUser && !top.empty() &&
        (run == top || run.starts_with(top + '\\')) &&
        inner_.OpenKeyEx(kHkeyCurrentUser, std::string(kRunKey).c_str(), 0, kKeyAccess, &runKey) ==
            kErrorSuccess) {
      std::vector<RegValueRecord> values;
      std::int32_t status = inner_.EnumValues(runKey, &values);
      for (const RegValueRecord& value : values) {
        if (status == kErrorSuccess) status = DeleteValue(runKey, value.name.c_str());
      }
      inner_.CloseKey(runKey);
      if (status != kErrorSuccess) return status;
    }
    return inner_.DeleteKeyTree(root, subKey);
  });
}

std::string AutostartFolder() {
  return ConfigHome() + "/autostart";
}

RawRegistry& LinuxRegistry() {
  static XdgAutostart registry(ProcessRegistry(), AutostartFolder());
  return registry;
}

}  // namespace dornava
