#include <gtest/gtest.h>

#include <memory>
#include <random>

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
    int before;
    int hour;
    int minute;
    std::vector<std::string> installed;
  } cases[] = {
      {clock, 0, 0, 0, {"midnight"}},
      {clock, 0, 7, 30, {"morning"}},
      {clock, 0, 1, 30, {"half past one"}},
      {clock, 0, 7, 31, {}},
      {relative, 0, 12, 0, {"first"}},
      {relative, 89, 12, 0, {"ninety"}},
      {relative, 1438, 12, 0, {"last"}},
      {relative, 1439, 12, 0, {"day"}},
      {relative, 1440, 12, 0, {"first"}},
      {relative, 2000, 12, 0, {}},
      // Only a capital S follows the clock: on tick 1 all three are due, on tick 2 only "clock".
      {letters, 0, 0, 1, {"lower", "other", "clock"}},
      {letters, 1, 0, 1, {"clock"}},
      {{"R 00:01 - /a.bmp", "S 12:00 - /missing.bmp", "S 11:00 - /not due", "R 00:01 - /b.bmp"},
       0,
       12,
       0,
       {"/a.bmp", "/missing.bmp", "/b.bmp"}},
      // The path goes on exactly as stored, blanks and quotes included.
      {{"R 00:01 -  \"C:\\My Pictures\\x.bmp\" "}, 0, 3, 0, {" \"C:\\My Pictures\\x.bmp\" "}},
      {{"", "S", "R 0", "R 00:06", "nonsense that is long", "R 00:06 - "}, 5, 3, 0, {"", ""}},
      {{}, 5, 3, 0, {}},
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

TEST(MinuteTimer, TicksStayOnTheStartGridDespiteLateTimers) {
  test::RecordingHost host;
  host.list = {"R 00:01 - x"};
  FakeClock clock;
  RecordingWallpaper wallpaper;
  // A wallpaper change that takes a while must not push later ticks back either.
  wallpaper.clock = &clock;
  wallpaper.costMs = 120;
  test::FakeEnvironment environment;
  auto raw = SqliteRegistry::Open(":memory:", nullptr);
  Registr registr(*raw);
  StartUp startUp(host, registr, environment, clock, clock, wallpaper);

  const std::int64_t start = clock.ms;
  startUp.Start();
  ASSERT_EQ(host.armedDelay, 60000);
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> lateness(0, 200);
  for (int tick = 1; tick <= 3 * 1440; ++tick) {
    clock.ms += host.armedDelay + lateness(random);
    const std::int64_t deadline = start + std::int64_t{tick} * 60000;
    ASSERT_GE(clock.ms, deadline) << "tick " << tick;
    ASSERT_LE(clock.ms - deadline, 250) << "tick " << tick;
    startUp.TimerFired();
    ASSERT_EQ(startUp.RelMinutes(), tick % 1440);
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
  void Store(std::vector<std::string> lines) {
    Registr plain(*raw_);
    RewriteSchedule(plain, VectorList(std::move(lines)));
  }
  // Calls that changed the Run key.
  long RunWrites() const {
    return recorder_.Count("Set key Dornava") + recorder_.Count("Delete key Dornava");
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

TEST_F(StartUpTest, APlainStartShowsTheWindowAndWritesNothing) {
  Store({"S 07:30 - a"});
  startUp_.Load();
  EXPECT_EQ(host_.events, (std::vector<std::string>{"loaded", "show"}));
  EXPECT_EQ(host_.check1, 0);
  EXPECT_EQ(RunWrites(), 0);
  EXPECT_FALSE(startUp_.Running());
  // The schedule is read before the Run value.
  ASSERT_FALSE(recorder_.calls.empty());
  EXPECT_EQ(recorder_.calls.front(), "Open HKCU Software\\Brenlow\\Dornava 0x0 0x3F");
  const std::vector<std::string> runRead(recorder_.calls.end() - 3, recorder_.calls.end());
  EXPECT_EQ(runRead, (std::vector<std::string>{
                         "Open HKCU Software\\Microsoft\\Windows\\CurrentVersion\\Run 0x0 0x3F",
                         "Query key Dornava size", "Close key"}));
}

TEST_F(StartUpTest, ARegisteredStartRewritesTheRunValueForThisExecutable) {
  Registr(*raw_).WriteRegValue(kHkeyCurrentUser, kRunKey, kRunValueName,
                               RegValue("D:\\Old place\\Dornava A"), kRegSz);
  Store({"S 07:30 - a"});
  environment_.folder = "C:\\Tools";
  environment_.argument = "A";
  startUp_.Load();
  EXPECT_EQ(host_.events, (std::vector<std::string>{"loaded", "check1=1", "hide", "arm 60000"}));
  EXPECT_EQ(RunValue(), RegValue("C:\\Tools\\Dornava A"));
  EXPECT_TRUE(startUp_.Running());
  EXPECT_FALSE(host_.visible);
}

TEST_F(StartUpTest, AnEmptyScheduleWithAnArgumentEndsAfterRewritingTheRunValue) {
  Registr(*raw_).WriteRegValue(kHkeyCurrentUser, kRunKey, kRunValueName, RegValue("x"), kRegSz);
  environment_.argument = "--anything";
  startUp_.Load();
  EXPECT_EQ(host_.events, (std::vector<std::string>{"loaded empty", "check1=1", "end"}));
  EXPECT_EQ(RunValue(), RegValue("C:\\Dornava\\Dornava A"));
  EXPECT_FALSE(startUp_.Running());
}

TEST_F(StartUpTest, StartEndsOnAnEmptyListAndRunsOtherwise) {
  startUp_.Load();
  startUp_.Start();
  EXPECT_TRUE(host_.ended);
  EXPECT_FALSE(startUp_.Running());

  host_.ended = false;
  host_.list = {"R 00:01 - x"};
  startUp_.Start();
  EXPECT_FALSE(host_.ended);
  EXPECT_FALSE(host_.visible);
  EXPECT_EQ(host_.armedDelay, 60000);
  clock_.ms += 60000;
  startUp_.TimerFired();
  EXPECT_EQ(wallpaper_.paths, std::vector<std::string>{"x"});
}

TEST_F(StartUpTest, TheBoxWritesAndDeletesTheRunValue) {
  host_.check1 = 1;
  startUp_.Check1Click();
  EXPECT_EQ(RunValue(), RegValue("C:\\Dornava\\Dornava A"));
  host_.check1 = 0;
  startUp_.Check1Click();
  EXPECT_TRUE(RunValue().IsEmpty());
  startUp_.Check1Click();  // deleting what is not there is harmless
  EXPECT_TRUE(RunValue().IsEmpty());

  // Set by the program, the box runs its handler only when its value changes.
  startUp_.SetCheck1(1);
  EXPECT_EQ(RunValue(), RegValue("C:\\Dornava\\Dornava A"));
  const long writes = RunWrites();
  startUp_.SetCheck1(1);
  EXPECT_EQ(RunWrites(), writes);
}

TEST_F(StartUpTest, APathWithBlanksIsQuotedAndOneWithoutIsNot) {
  environment_.folder = "C:\\Program Files\\Dornava";
  EXPECT_EQ(RunValueData(environment_), "\"C:\\Program Files\\Dornava\\Dornava\" A");
  environment_.folder = "/home/eva/bin";
  environment_.separator = '/';
  environment_.name = "dornava";
  EXPECT_EQ(RunValueData(environment_), "/home/eva/bin/dornava A");
  environment_.name = "my dornava";
  EXPECT_EQ(RunValueData(environment_), "\"/home/eva/bin/my dornava\" A");
}

TEST_F(StartUpTest, WithoutARunKeyTheBoxChangesNothingStored) {
  auto bare = SqliteRegistry::Open(":memory:", nullptr);
  Registr registr(*bare);
  StartUp startUp(host_, registr, environment_, clock_, clock_, wallpaper_);
  host_.check1 = 1;
  startUp.Check1Click();
  EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName).IsEmpty());
  EXPECT_EQ(host_.check1, 1) << "the box keeps what the user gave it";
}

}  // namespace
}  // namespace dornava
