// The Linux edition's clock, process environment and running state.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/SqliteRegistry.h"
#include "store/ScheduleStore.h"
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
  // The executable's path as it was at the start.
  const std::string& Executable() const { return executable_; }

 private:
  std::vector<std::string> arguments_;
  std::string executable_;
};

// A plain list of lines, for the running state without a window, where nothing shows them.
class LineList final : public ScheduleList {
 public:
  void Clear() override { items_.clear(); }
  void AddItem(std::string_view text) override { items_.emplace_back(text); }
  void RemoveItem(int index) override { items_.erase(items_.begin() + index); }
  int ListCount() const override { return static_cast<int>(items_.size()); }
  const std::string& List(int index) const override {
    return items_[static_cast<std::size_t>(index)];
  }
  int ListIndex() const override { return selected_; }
  void SetListIndex(int index) override { selected_ = index; }

 private:
  std::vector<std::string> items_;
  int selected_ = -1;
};

// Whether a new process, loading the schedule afresh, would run `shown`: the registry is the
// user's file, not one in this process's memory, and the file holds exactly these lines.
bool NewProcessRuns(SqliteRegistry& registry, const ScheduleList& shown);

}  // namespace dornava
