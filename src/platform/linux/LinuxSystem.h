// The Linux edition's clock and process environment.
#pragma once

#include <string>
#include <vector>

#include "switching/Services.h"

namespace dornava {

class LinuxLocalClock final : public LocalClock {
 public:
  LocalTime Now() override;
};

class LinuxMonotonicClock final : public MonotonicClock {
 public:
  std::int64_t NowMs() override;
};

class LinuxEnvironment final : public ProcessEnvironment {
 public:
  // `arguments` are those after the program name, as the program received them.
  explicit LinuxEnvironment(std::vector<std::string> arguments);
  std::string CommandLineArgument() override;
  std::string ExecutableFolder() override;
  // The whole file name: unlike Windows, Linux finds no program by a name without its suffix.
  std::string ExecutableName() override;
  char PathSeparator() override { return '/'; }

 private:
  std::vector<std::string> arguments_;
  std::string executable_;
};

}  // namespace dornava
