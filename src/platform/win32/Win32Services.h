// The system services the switching logic uses, on Windows: local and monotonic clocks, the
// desktop wallpaper and what the process knows about itself.
#pragma once

#include <string>
#include <string_view>

#include "switching/Services.h"

namespace dornava {

// What follows the program's name on a command line. The name ends at its closing quote when it
// starts with one, otherwise at the first blank; the blanks after it are skipped.
std::string ArgumentText(std::string_view commandLine);

struct ExecutablePath {
  std::string folder;  // without the trailing separator
  std::string name;    // without the extension
};
ExecutablePath SplitExecutablePath(std::string_view path);

class Win32LocalClock final : public LocalClock {
 public:
  LocalTime Now() override;
};

class Win32MonotonicClock final : public MonotonicClock {
 public:
  std::int64_t NowMs() override;
};

// SystemParametersInfoA, recorded in the user profile; the result is not examined.
class Win32Wallpaper final : public WallpaperService {
 public:
  void SetWallpaper(std::string_view path) override;
};

class Win32Environment final : public ProcessEnvironment {
 public:
  std::string CommandLineArgument() override;
  std::string ExecutableFolder() override;
  std::string ExecutableName() override;
  char PathSeparator() override { return '\\'; }
};

}  // namespace dornava
