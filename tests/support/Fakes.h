// Stand-ins for the list box and the system services the logic uses.
#pragma once

#include <string>
#include <vector>

#include "store/ScheduleStore.h"
#include "switching/Services.h"
#include "switching/StartUp.h"

namespace dornava::test {

// A schedule list over a vector, standing in for the main window's list box.
class VectorList final : public ScheduleList {
 public:
  VectorList() = default;
  VectorList(std::initializer_list<std::string> lines) : items(lines) {}
  explicit VectorList(std::vector<std::string> lines) : items(std::move(lines)) {}

  std::vector<std::string> items;
  int selected = -1;

  void Clear() override {
    items.clear();
    selected = -1;
  }
  void AddItem(std::string_view text) override { items.emplace_back(text); }
  void RemoveItem(int index) override {
    items.erase(items.begin() + index);
    // A list box loses its selection when the selected item goes.
    if (selected >= static_cast<int>(items.size()) || selected == index) selected = -1;
  }
  int ListCount() const override { return static_cast<int>(items.size()); }
  const std::string& List(int index) const override { return items.at(index); }
  int ListIndex() const override { return selected; }
  void SetListIndex(int index) override { selected = index; }
};

class FakeClock final : public LocalClock, public MonotonicClock {
 public:
  LocalTime time;
  std::int64_t ms = 1000000;
  LocalTime Now() override { return time; }
  std::int64_t NowMs() override { return ms; }
};

class RecordingWallpaper final : public WallpaperService {
 public:
  std::vector<std::string> paths;
  // Time a wallpaper change takes, on the fake clock.
  FakeClock* clock = nullptr;
  std::int64_t costMs = 0;
  void SetWallpaper(std::string_view path) override {
    paths.emplace_back(path);
    if (clock) clock->ms += costMs;
  }
};

class FakeEnvironment final : public ProcessEnvironment {
 public:
  std::string argument;
  std::string folder = "C:\\Dornava";
  std::string name = "Dornava";
  char separator = '\\';
  std::string CommandLineArgument() override { return argument; }
  std::string ExecutableFolder() override { return folder; }
  std::string ExecutableName() override { return name; }
  char PathSeparator() override { return separator; }
};

// The main window as the start-up logic sees it, logging what is asked of it.
class RecordingHost final : public StartUpHost {
 public:
  VectorList list;
  std::vector<std::string> events;
  int check1 = 0;
  bool visible = false;
  bool ended = false;
  std::int64_t armedDelay = -1;

  ScheduleList& List() override { return list; }
  void ScheduleLoaded(bool hasEntries) override {
    events.push_back(hasEntries ? "loaded" : "loaded empty");
  }
  void SetVisible(bool value) override {
    visible = value;
    events.push_back(value ? "show" : "hide");
  }
  void EndProgram() override {
    ended = true;
    events.push_back("end");
  }
  int Check1() const override { return check1; }
  void ShowCheck1(int value) override {
    check1 = value;
    events.push_back("check1=" + std::to_string(value));
  }
  void ArmTimer(std::int64_t delayMs) override {
    armedDelay = delayMs;
    events.push_back("arm " + std::to_string(delayMs));
  }
};

}  // namespace dornava::test
