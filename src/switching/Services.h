// What the switching logic needs from the system, one small interface each, so it runs and is
// tested without a window, a clock or a desktop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dornava {

struct LocalTime {
  int hour = 0;
  int minute = 0;
};

// The local time of day, read afresh on every call.
class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual LocalTime Now() = 0;
};

// Milliseconds on a clock that never jumps with the wall clock.
class MonotonicClock {
 public:
  virtual ~MonotonicClock() = default;
  virtual std::int64_t NowMs() = 0;
};

// Installs a picture file as the desktop wallpaper and keeps it across logons. Failures are
// the service's own business: callers never look at them.
class WallpaperService {
 public:
  virtual ~WallpaperService() = default;
  virtual void SetWallpaper(std::string_view path) = 0;
};

// What the running process knows about itself.
class ProcessEnvironment {
 public:
  virtual ~ProcessEnvironment() = default;
  // What followed the program's name on the command line, however it was quoted.
  virtual std::string CommandLineArgument() = 0;
  // The folder holding the executable, without a trailing separator.
  virtual std::string ExecutableFolder() = 0;
  // The executable's file name without its extension.
  virtual std::string ExecutableName() = 0;
  virtual char PathSeparator() = 0;
};

}  // namespace dornava
