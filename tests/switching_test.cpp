#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/linux/SqliteRegistry.h"
#include "support/Fakes.h"
#include "support/RecordingRegistry.h"
#include "switching/MinuteTick.h"
#include "switching/MinuteTimer.h"
#include "switching/StartUp.h"

namespace dornava {
namespace {

using test::FakeClock;
using test::RecordingWallpaper;
using test::VectorList;

// One row: the list, how many ticks run first (at noon), then the clock time of one more tick and
// the paths that tick installs.
TEST(MinuteTick, InstallsEveryDueEntryInListOrder) {
  const std::vector<std::string> clock = {"S 00:00 - midnight", "S 07:30 - morning",
                                          "S 00:90 - half past one"};
  const std::vector<std::string> relative = {"R 00:01 - first", "R 00:00 - day", "R 23:59 - last",
                                             "R 24:00 - never", "R 00:90 - ninety"};
  const std::vector<std::string> letters = {"s 00:01 - lower", "X 00:01 - other",
                                            "S 00:01 - clock"};
  const struct {
    std::vector<std::string> list;
    int before, hour, minute;
    std::vector<std::string> installed;
  } cases[] = {
      // clang-format off
      {clock, 0, 0, 0, {"midnight"}}, {clock, 0, 7, 30, {"morning"}},
      {clock, 0, 1, 30, {"half past one"}}, {clock, 0, 7, 31, {}},
      {relative, 0, 12, 0, {"first"}}, {relative, 89, 12, 0, {"ninety"}},
      {relative, 1438, 12, 0, {"last"}}, {relative, 1439, 12, 0, {"day"}},
      {relative, 1440, 12, 0, {"first"}}, {relative, 2000, 12, 0, {}},
      // Only a capital S follows the clock: on tick 1 all three are due, on tick 2 only "clock".
      {letters, 0, 0, 1, {"lower", "other", "clock"}}, {letters, 1, 0, 1, {"clock"}},
      {{"R 00:01 - /a.bmp", "S 12:00 - /missing.bmp", "S 11:00 - /not due", "R 00:01 - /b.bmp"},
       0, 12, 0, {"/a.bmp", "/missing.bmp", "/b.bmp"}},
      // The path goes on exactly as stored, blanks and quotes included.
      {{"R 00:01 -  \"C:\\My Pictures\\x.bmp\" "}, 0, 3, 0, {" \"C:\\My Pictures\\x.bmp\" "}},
      {{"", "S", "R 0", "R 00:06", "nonsense that is long", "R 00:06 - "}, 5, 3, 0, {"", ""}},
      {{}, 5, 3, 0, {}},
      {{"S 99:99 - a", "S  7: 5 - b", "S -1:30 - c", "R -1:30 - d", "R 99:99 - e"}, 0, 7, 5, {"b"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    VectorList list(c.list);
    int relMinutes = 0;
    FakeClock fakeClock;
    RecordingWallpaper wallpaper;
    fakeClock.time = {12, 0};
    for (int i = 0; i < c.before; ++i)
      RunTick(list, relMinutes, fakeClock, wallpaper);
    wallpaper.paths.clear();
    fakeClock.time = {c.hour, c.minute};
    RunTick(list, relMinutes, fakeClock, wallpaper);
    EXPECT_EQ(wallpaper.paths, c.installed)
        << (c.list.empty() ? "" : c.list[0]) << " after " << c.before << " ticks";
    EXPECT_EQ(relMinutes, (c.before + 1) % 1440);
  }
}

TEST(MinuteTimer, AnEarlyTimerDoesNotTickTwiceAndAStallSkipsAhead) {
  MinuteTimer timer;
  timer.Start(0);
  EXPECT_EQ(timer.DelayFrom(0), 60000);
  // Fired 5 ms early: that was tick 1; the next deadline is tick 2's.
  timer.Fired(59995);
  EXPECT_EQ(timer.NextDeadline(), 120000);
  EXPECT_EQ(timer.DelayFrom(59995), 60005);
  // Fired 2.5 intervals late (say the machine slept): once, then back on the grid.
  timer.Fired(270000);
  EXPECT_EQ(timer.NextDeadline(), 300000);
  // A tick that ran past its own next deadline is followed at once.
  EXPECT_EQ(timer.DelayFrom(300010), 0);
}

class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() : recorder_(*raw_), registr_(recorder_) {
    // As on Windows, the Run key exists.
    Registr(*raw_).MakeRegKey(kHkeyCurrentUser, kRunKey);
  }

  RegValue RunValue() {
    return Registr(*raw_).ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName);
  }
  // Calls that changed the Run key.
  long RunWrites() const {
    return recorder_.Count("Set Dornava") + recorder_.Count("Delete Dornava");
  }

  std::unique_ptr<SqliteRegistry> raw_ = SqliteRegistry::Open(":memory:", nullptr);
  test::RecordingRegistry recorder_;
  Registr registr_;
  test::RecordingHost host_;
  test::FakeEnvironment environment_;
  FakeClock clock_;
  RecordingWallpaper wallpaper_;
  StartUp startUp_{host_, registr_, environment_, clock_, clock_, wallpaper_};
};

// The Load handler: the schedule first, then the Run value (rewritten for this executable when
// present), then the window or the running state.
TEST(StartUpLoad, ReadsTheScheduleThenTheRunValueThenShowsOrStarts) {
  const struct {
    const char* runValue;
    std::vector<std::string> schedule;
    const char* argument;
    std::vector<std::string> events;
    const char* runAfter;
    const char* folder = "C:\\Dornava";
  } cases[] = {
      // clang-format off
      {nullptr, {"S 07:30 - a"}, "", {"loaded", "show"}, ""},
      {"D:\\Old place\\Dornava A", {"S 07:30 - a"}, "A",
       {"loaded", "check1=1", "hide", "arm 60000"}, "C:\\Dornava\\Dornava A"},
      {"x", {}, "--anything", {"loaded empty", "check1=1", "end"}, "C:\\Dornava\\Dornava A"},
      // The path is quoted when it holds a blank, so no prefix of it can be taken for the program.
      {"x", {}, "A", {"loaded empty", "check1=1", "end"},
       "\"C:\\Program Files\\Dornava\\Dornava\" A", "C:\\Program Files\\Dornava"},
      // clang-format on
  };
  for (const auto& c : cases) {
    auto raw = SqliteRegistry::Open(":memory:", nullptr);
    Registr plain(*raw);
    plain.MakeRegKey(kHkeyCurrentUser, kRunKey);  // as on Windows, the Run key exists
    if (c.runValue)
      plain.WriteRegValue(kHkeyCurrentUser, kRunKey, kRunValueName, c.runValue, kRegSz);
    RewriteSchedule(plain, VectorList(c.schedule));
    test::RecordingRegistry recorder(*raw);
    Registr registr(recorder);
    test::RecordingHost host;
    test::FakeEnvironment environment;
    environment.argument = c.argument;
    environment.folder = c.folder;
    FakeClock clock;
    RecordingWallpaper wallpaper;
    StartUp startUp(host, registr, environment, clock, clock, wallpaper);
    startUp.Load();
    EXPECT_EQ(host.events, c.events) << c.argument;
    EXPECT_EQ(plain.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName).Text(), c.runAfter);
    EXPECT_EQ(startUp.Running(), host.events.back() == "arm 60000");
    std::size_t firstRun = recorder.calls.size(), lastSchedule = 0;
    for (std::size_t i = 0; i < recorder.calls.size(); ++i) {
      if (recorder.calls[i].find("\\Run") != std::string::npos) firstRun = std::min(firstRun, i);
      if (recorder.calls[i].find("Brenlow") != std::string::npos) lastSchedule = i;
    }
    EXPECT_LT(lastSchedule, firstRun) << "the schedule is read before the Run value";
  }
}

// Set by the program, the box runs its handler only when its value changes.
TEST_F(StartUpTest, TheBoxWritesAndDeletesTheRunValue) {
  startUp_.SetCheck1(1);
  EXPECT_EQ(RunValue(), RegValue("C:\\Dornava\\Dornava A"));
  const long writes = RunWrites();
  startUp_.SetCheck1(1);
  EXPECT_EQ(RunWrites(), writes);
  host_.check1 = 0;
  startUp_.Check1Click();
  EXPECT_TRUE(RunValue().IsEmpty());
}

// A late timer and a slow wallpaper change push no tick off the grid of whole minutes from Start.
TEST_F(StartUpTest, TicksStayOnTheStartGridDespiteLateTimersAndSlowChanges) {
  host_.list = {"R 00:01 - x", "R 00:02 - y"};
  wallpaper_.clock = &clock_;
  wallpaper_.costMs = 120;
  const std::int64_t start = clock_.ms;
  startUp_.Start();
  for (std::int64_t tick = 1; tick <= 3; ++tick) {
    clock_.ms += host_.armedDelay + 150;
    startUp_.TimerFired();
    EXPECT_EQ(clock_.ms + host_.armedDelay, start + (tick + 1) * 60000) << "tick " << tick;
  }
  EXPECT_EQ(wallpaper_.paths, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(startUp_.RelMinutes(), 3);
}

}  // namespace
}  // namespace dornava
