// The wlroots backends against stand-ins for sway's IPC server, hyprctl and swaybg.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

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

std::string Framed(const std::string& payload) {
  const std::uint32_t header[] = {static_cast<std::uint32_t>(payload.size()), 0};
  return "i3-ipc" + std::string(reinterpret_cast<const char*>(header), 8) + payload;
}

TEST_F(Wayland, SwaySendsOneRunCommandAndNeedsEveryResultToSucceed) {
  const std::pair<std::string, bool> cases[] = {
      {R"([{"success": true}])", true}, {R"([{"success": true}, {"success": false}])", false}};
  sockaddr_un address{AF_UNIX, {}};
  std::strcpy(address.sun_path, (bin / "sway.sock").c_str());
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::listen(listener, 1);
  ScopedEnv sock("SWAYSOCK", address.sun_path);
  for (const auto& [reply, applied] : cases) {
    fs::remove_all(links);
    std::string message(14, '\0');
    std::thread sway([&] {
      const int client = ::accept(listener, nullptr, nullptr);
      ::recv(client, message.data(), 14, MSG_WAITALL);
      std::uint32_t size = 0;
      std::memcpy(&size, message.data() + 6, 4);
      message.resize(14 + size);
      ::recv(client, message.data() + 14, message.size() - 14, MSG_WAITALL);
      ::send(client, Framed(reply).data(), Framed(reply).size(), 0);
      ::close(client);
    });
    EXPECT_EQ(SwayWallpaper().Apply(pictures.Write("a b.png", "picture")), applied);
    sway.join();
    EXPECT_EQ(message, Framed("output * bg " + Links().at(0).string() + " fill"));
  }
  ::close(listener);
}

TEST_F(Wayland, HyprlandPreloadsSetsForEveryMonitorAndUnloads) {
  WriteRecordingProgram(bin / "hyprctl");
  ASSERT_TRUE(HyprlandWallpaper().Apply(pictures.Write("a,b.png", "picture")));
  const std::string link = Links().at(0);
  EXPECT_EQ(RecordedRuns(bin / "hyprctl"), (Runs{{"hyprpaper", "preload", link},
                                                 {"hyprpaper", "wallpaper", "," + link},
                                                 {"hyprpaper", "unload", "unused"}}));
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
