// The wlroots backends: their plain paths, sway's answers, and swaybg played by a stand-in.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/wallpaper/SwayWallpaper.h"
#include "support/RecordingProgram.h"
#include "support/StrangePaths.h"
#include "support/TempDir.h"

namespace dornava {
namespace {

namespace fs = std::filesystem;
using namespace test;

struct Wayland : testing::Test {
  TempDir runtime, pictures, bin;
  ScopedEnv runtimeEnv{"XDG_RUNTIME_DIR", runtime.path()};
  ScopedEnv pathEnv{"PATH", bin.path() + ":" + EnvironmentValue("PATH")};
  std::string links = runtime / "dornava";

  std::vector<fs::path> Links() { return {fs::directory_iterator(links), {}}; }
};

constexpr char kPlainBytes[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._/-";

TEST_F(Wayland, PlainPathsPassAndOthersBecomeTheOneLinkToTheSameFile) {
  auto paths = test::MakeStrangePaths(pictures.path(), "picture");
  paths.insert(paths.end(), {pictures.Write("plain_1.png", "p"), pictures.Write("a.p g", "p")});
  for (const auto& path : paths) {
    SCOPED_TRACE(path);
    const std::string given = PlainPath(path);
    KeepOnlyLink(given);
    EXPECT_TRUE(fs::equivalent(given, path));
    EXPECT_EQ(given.find_first_not_of(kPlainBytes), std::string::npos);
    EXPECT_EQ(Links(), given == path ? std::vector<fs::path>{} : std::vector<fs::path>{given});
    EXPECT_EQ(given == path, path.find_first_not_of(kPlainBytes) == std::string::npos);
  }
  fs::permissions(links, fs::perms::group_exec, fs::perm_options::add);  // no longer private
  EXPECT_EQ(PlainPath(paths[0]), "");
}

// The socket and its framing are shown by the real sway in sway_pixel.sh.
TEST(Sway, OnlyAnAnswerOfSuccessesCounts) {
  const std::pair<const char*, bool> rows[] = {
      {R"([{"success": true}])", true},
      {R"([{"success": true}, {"success": false}])", false},
      {R"([])", false},
      {R"([{"success": "yes"}])", false},
      {R"({"success": true})", false},
      {"not json", false}};
  for (const auto& [reply, succeeded] : rows)
    EXPECT_EQ(SwayRunSucceeded(reply), succeeded) << reply;
}

TEST_F(Wayland, SwaybgReplacesTheOneRunningOnlyOnceTheNewOneStays) {
  // Runs while the test does unless stopped; on a "bad" picture it ends at once.
  WriteRecordingProgram(bin / "swaybg", "echo $$ >>'" + (bin / "pids") +
                                            "'\ncase \"$4\" in *bad*) exit 1;; esac\n"
                                            "while kill -0 $PPID; do sleep 0.1; done\n");
  SwaybgWallpaper backend;
  EXPECT_TRUE(backend.Apply(pictures / "first $(x).png"));
  EXPECT_FALSE(backend.Apply(pictures / "bad.png"));
  pid_t first = 0;
  std::ifstream(bin / "pids") >> first;
  EXPECT_EQ(::kill(first, 0), 0);
  EXPECT_TRUE(backend.Apply(pictures / "last.png"));
  EXPECT_NE(::kill(first, 0), 0);
  EXPECT_EQ(RecordedRuns(bin / "swaybg").at(0),
            (std::vector<std::string>{"-o", "*", "-i", pictures / "first $(x).png", "-m", "fill"}));
}

}  // namespace
}  // namespace dornava
