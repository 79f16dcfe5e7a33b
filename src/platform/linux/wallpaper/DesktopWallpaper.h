// What every Linux wallpaper backend shares: a result its tests read, and the few ways a backend
// reaches the desktop (a file URI, a program run with an argument list, the session bus).
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "switching/Services.h"

namespace dornava {

// A backend says whether the desktop took the picture; the running program ignores the answer,
// its tests do not.
class DesktopWallpaper : public WallpaperService {
 public:
  virtual bool Apply(std::string_view path) = 0;
  void SetWallpaper(std::string_view path) final { Apply(path); }
};

// The path as stored holds bytes up to its first NUL; nothing after it reaches a desktop.
inline std::string_view StoredPath(std::string_view path) {
  return path.substr(0, path.find('\0'));
}

// "file://" and the path with every byte outside the unreserved set and "/" percent-encoded.
std::string FileUri(std::string_view path);

// How long a backend waits for a desktop's answer or a program's end.
inline constexpr int kDesktopTimeoutMs = 3000;

// Runs a program (looked up in PATH) with exactly these arguments, no shell between, its output
// dropped; true when it ended with status 0 within the timeout. A late one is killed.
bool RunProgram(const std::vector<std::string>& argv, int timeoutMs = kDesktopTimeoutMs);

// Starts a program in a session of its own that outlives this one; its process id, or -1.
pid_t StartProgram(const std::vector<std::string>& argv);

// A value of the environment, empty when unset.
std::string EnvironmentValue(const char* name);

}  // namespace dornava
