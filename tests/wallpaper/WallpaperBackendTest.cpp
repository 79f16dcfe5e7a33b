// The choice of wallpaper backend from the session's environment, and the user's own command.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

#include "platform/linux/wallpaper/WallpaperBackend.h"
#include "support/RecordingProgram.h"
#include "support/StrangePaths.h"
#include "support/TempDir.h"

namespace dornava {
namespace {

TEST(WallpaperChoice, EnvironmentInBackendOut) {
  using enum WallpaperBackend;
  // The variables set (NAME=value, blank-separated), whether the bus offers the portal, the
  // backend, a part of the notice.
  const std::tuple<std::string, bool, WallpaperBackend, std::string> rows[] = {
      {"DORNAVA_WALLPAPER_COMMAND=x XDG_CURRENT_DESKTOP=GNOME", true, kCommand, ""},
      {"XDG_CURRENT_DESKTOP=ubuntu:GNOME DISPLAY=:0", true, kGnome, ""},
      {"XDG_CURRENT_DESKTOP=Pantheon", false, kGnome, ""},
      {"XDG_CURRENT_DESKTOP=X-Cinnamon", false, kCinnamon, ""},
      {"XDG_CURRENT_DESKTOP=MATE", false, kMate, ""},
      {"XDG_CURRENT_DESKTOP=KDE WAYLAND_DISPLAY=wayland-0", false, kPlasma, ""},
      {"XDG_CURRENT_DESKTOP=XFCE", false, kXfce, ""},
      {"XDG_CURRENT_DESKTOP=LXQt", false, kLxqt, ""},
      {"XDG_CURRENT_DESKTOP=LXDE", false, kLxde, ""},
      {"XDG_CURRENT_DESKTOP=COSMIC", false, kCosmic, ""},
      {"XDG_CURRENT_DESKTOP=sway HYPRLAND_INSTANCE_SIGNATURE=h", false, kSway, ""},
      {"XDG_CURRENT_DESKTOP=Hyprland", false, kHyprland, ""},
      {"XDG_CURRENT_DESKTOP=i3:labwc:wlroots", false, kSwaybg, ""},
      {"XDG_CURRENT_DESKTOP=GNOMEish SWAYSOCK=/run/s", false, kSway, ""},
      {"HYPRLAND_INSTANCE_SIGNATURE=h DISPLAY=:0", false, kHyprland, ""},
      {"NIRI_SOCKET=/run/n", true, kSwaybg, ""},
      {"DESKTOP_SESSION=/usr/share/xsessions/plasmawayland", false, kPlasma, ""},
      {"XDG_CURRENT_DESKTOP=i3 DESKTOP_SESSION=gnome DISPLAY=:0", false, kX11Root, ""},
      {"XDG_CURRENT_DESKTOP=Unknown WAYLAND_DISPLAY=w", true, kPortal, ""},
      {"DISPLAY=:0 WAYLAND_DISPLAY=w", false, kNone, "(none named)"},
      {"XDG_CURRENT_DESKTOP=Odd", false, kNone, "(\"Odd\"); set DORNAVA_WALLPAPER_COMMAND"},
  };
  for (const auto& [variables, portal, backend, notice] : rows) {
    SCOPED_TRACE(variables);
    SessionEnvironment environment{{}, [portal = portal] { return portal; }};
    std::istringstream words(variables);
    for (std::string word; words >> word;)
      environment.variables[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
    const WallpaperChoice choice = ChooseWallpaperBackend(environment);
    EXPECT_EQ(choice.backend, backend);
    EXPECT_EQ(choice.notice.empty(), notice.empty()) << choice.notice;
    EXPECT_NE(choice.notice.find(notice), std::string::npos) << choice.notice;
  }
}

// The command gets its own words and then the path as one argument, whatever it holds.
TEST(CommandWallpaper, RunsTheProgramWithThePathLast) {
  test::TempDir dir;
  test::WriteRecordingProgram(dir / "record");
  CommandWallpaper command(" " + (dir / "record") + "  --fill\t-x ");
  for (const std::string& path : test::MakeStrangePaths(dir.path(), "picture")) {
    ASSERT_TRUE(command.Apply(path + std::string(1, '\0') + "after")) << path;
    EXPECT_EQ(test::RecordedRuns(dir / "record"), (test::Runs{{"--fill", "-x", path}})) << path;
  }
  EXPECT_FALSE(CommandWallpaper(dir / "missing").Apply(dir / "record"));
  EXPECT_FALSE(CommandWallpaper("false").Apply(dir / "record"));
}

}  // namespace
}  // namespace dornava
