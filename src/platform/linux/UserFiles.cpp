#include "platform/linux/UserFiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace dornava {

std::string ConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* user = ::getpwuid(::getuid());
    home = user ? user->pw_dir : "/tmp";
  }
  return std::string(home) + "/.config";
}

int MakePrivateFolder(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string level = folder.substr(0, slash);
    if (!level.empty() && level.back() != '/' && ::mkdir(level.c_str(), 0700) != 0 &&
        errno != EEXIST) {
      return errno;
    }
    if (slash == std::string::npos) return 0;
  }
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

int ReplaceFile(const std::string& folder, const std::string& path, std::string_view content) {
  if (const int error = MakePrivateFolder(folder); error != 0) return error;
  std::string temp = folder + "/.dornava-XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  int error = 0;
  for (std::size_t done = 0; done < content.size() && error == 0;) {
    const ssize_t wrote = ::write(fd, content.data() + done, content.size() - done);
    if (wrote < 0) {
      if (errno != EINTR) error = errno;
    } else {
      done += static_cast<std::size_t>(wrote);
    }
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolder(folder);
  return 0;
}

}  // namespace dornava
