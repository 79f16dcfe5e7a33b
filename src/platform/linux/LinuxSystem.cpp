#include "platform/linux/LinuxSystem.h"

#include <limits.h>
#include <time.h>
#include <unistd.h>

namespace dornava {

LocalTime LinuxLocalClock::Now() {
  const time_t now = ::time(nullptr);
  struct tm local {};
  ::localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min};
}

std::int64_t LinuxMonotonicClock::NowMs() {
  struct timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

LinuxEnvironment::LinuxEnvironment(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)) {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  if (length > 0) executable_.assign(path, static_cast<std::size_t>(length));
}

std::string LinuxEnvironment::CommandLineArgument() {
  std::string text;
  for (const std::string& argument : arguments_) {
    if (!text.empty()) text += ' ';
    text += argument;
  }
  // An argument given as "" still counts, as its quotes would on Windows.
  if (text.empty() && !arguments_.empty()) text = "\"\"";
  return text;
}

std::string LinuxEnvironment::ExecutableFolder() {
  const std::size_t slash = executable_.rfind('/');
  return slash == std::string::npos ? std::string(".") : executable_.substr(0, slash);
}

std::string LinuxEnvironment::ExecutableName() {
  const std::size_t slash = executable_.rfind('/');
  return slash == std::string::npos ? executable_ : executable_.substr(slash + 1);
}

bool NewProcessRuns(SqliteRegistry& registry, const ScheduleList& shown) {
  if (registry.InMemory()) return false;
  Registr registr(registry);
  LineList stored;
  LoadSchedule(registr, stored);
  if (stored.ListCount() != shown.ListCount()) return false;
  for (int index = 0; index < shown.ListCount(); ++index) {
    if (stored.List(index) != shown.List(index)) return false;
  }
  return true;
}

}  // namespace dornava
