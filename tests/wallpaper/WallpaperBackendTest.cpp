// The choice of wallpaper backend from the session's environment.
#include <gtest/gtest.h>

#include <string>

#include "platform/linux/wallpaper/WallpaperBackend.h"
#include "platform/linux/wallpaper/X11RootWallpaper.h"

namespace dornava {
namespace {

SessionEnvironment Env(std::string current, std::string session, std::string display,
                       std::string wayland) {
  return {std::move(current), std::move(session), std::move(display), std::move(wayland)};
}

TEST(WallpaperChoice, DetectsTheDesktopFromEitherVariable) {
  struct Case {
    std::string current;
    std::string session;
    Desktop expected;
  };
  const Case cases[] = {
      {"GNOME", "", Desktop::kGnome},
      {"ubuntu:GNOME", "ubuntu", Desktop::kGnome},
      {"GNOME-Classic:GNOME", "gnome-classic", Desktop::kGnome},
      {"Unity", "", Desktop::kGnome},
      {"KDE", "", Desktop::kPlasma},
      {"XFCE", "", Desktop::kXfce},
      {"X-Cinnamon", "cinnamon", Desktop::kCinnamon},
      {"MATE", "", Desktop::kMate},
      {"LXQt", "", Desktop::kLxqt},
      {"Budgie:GNOME", "budgie-desktop", Desktop::kBudgie},  // the first known entry wins
      {"sway", "", Desktop::kWlroots},
      {"labwc:wlroots", "", Desktop::kWlroots},
      {"Hyprland", "hyprland", Desktop::kHyprland},
      {"gnome", "", Desktop::kGnome},  // case does not matter
      {"::KDE:", "", Desktop::kPlasma},
      // Without XDG_CURRENT_DESKTOP the session name is read, also as a path.
      {"", "gnome-xorg", Desktop::kGnome},
      {"", "plasmawayland", Desktop::kPlasma},
      {"", "/usr/share/xsessions/plasma", Desktop::kPlasma},
      {"", "xfce4", Desktop::kXfce},
      {"", "budgie-desktop", Desktop::kBudgie},
      {"", "Hyprland", Desktop::kHyprland},
      // Plain window managers keep no wallpaper of their own.
      {"", "", Desktop::kUnknown},
      {"", "i3", Desktop::kUnknown},
      {"", "openbox", Desktop::kUnknown},
      {"i3", "", Desktop::kUnknown},
      // A set XDG_CURRENT_DESKTOP is the answer, even when it names nothing known.
      {"i3", "gnome", Desktop::kUnknown},
      {"GNOMEish", "", Desktop::kUnknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("XDG_CURRENT_DESKTOP=" + c.current + " DESKTOP_SESSION=" + c.session);
    EXPECT_EQ(DetectDesktop(Env(c.current, c.session, ":0", "")), c.expected);
  }
}

TEST(WallpaperChoice, PicksTheBackendAndSaysWhenItIsAStandIn) {
  struct Case {
    SessionEnvironment environment;
    WallpaperBackend backend;
    bool notice;
  };
  const Case cases[] = {
      // A plain X11 session: the root window, without a word.
      {Env("", "", ":0", ""), WallpaperBackend::kX11Root, false},
      {Env("", "i3", ":1.0", ""), WallpaperBackend::kX11Root, false},
      // Known desktops have no backend of their own yet: the root window, said once.
      {Env("GNOME", "", ":0", ""), WallpaperBackend::kX11Root, true},
      {Env("KDE", "", ":0", "wayland-0"), WallpaperBackend::kX11Root, true},
      {Env("sway", "", ":0", "wayland-1"), WallpaperBackend::kX11Root, true},
      // ... and nothing at all without an X display.
      {Env("GNOME", "", "", "wayland-0"), WallpaperBackend::kNone, true},
      {Env("Hyprland", "", "", "wayland-1"), WallpaperBackend::kNone, true},
      // An unknown Wayland compositor: Xwayland's root window, with a warning.
      {Env("", "", ":0", "wayland-0"), WallpaperBackend::kX11Root, true},
      {Env("", "", "", "wayland-0"), WallpaperBackend::kNone, true},
      {Env("", "", "", ""), WallpaperBackend::kNone, true},
  };
  for (const Case& c : cases) {
    const SessionEnvironment& e = c.environment;
    SCOPED_TRACE("XDG_CURRENT_DESKTOP=" + e.xdgCurrentDesktop + " DISPLAY=" + e.display +
                 " WAYLAND_DISPLAY=" + e.waylandDisplay);
    const WallpaperChoice choice = ChooseWallpaperBackend(e);
    EXPECT_EQ(choice.backend, c.backend);
    EXPECT_EQ(!choice.notice.empty(), c.notice) << choice.notice;
  }
}

TEST(WallpaperChoice, NoticeNamesTheDesktop) {
  for (const auto& [current, name] :
       {std::pair{"GNOME", "GNOME"}, std::pair{"KDE", "KDE Plasma"},
        std::pair{"X-Cinnamon", "Cinnamon"}, std::pair{"sway", "sway/wlroots"}}) {
    const WallpaperChoice choice = ChooseWallpaperBackend(Env(current, "", ":0", ""));
    EXPECT_EQ(DesktopName(choice.desktop), name);
    EXPECT_NE(choice.notice.find(name), std::string::npos) << choice.notice;
  }
}

TEST(WallpaperChoice, MakesTheChosenService) {
  std::string notice = "stale";
  auto plain = MakeWallpaperService(Env("", "", ":0", ""), &notice);
  EXPECT_NE(dynamic_cast<X11RootWallpaper*>(plain.get()), nullptr);
  EXPECT_EQ(notice, "");

  auto standIn = MakeWallpaperService(Env("XFCE", "", ":0", ""), &notice);
  EXPECT_NE(dynamic_cast<X11RootWallpaper*>(standIn.get()), nullptr);
  EXPECT_NE(notice.find("Xfce"), std::string::npos) << notice;

  auto none = MakeWallpaperService(Env("GNOME", "", "", "wayland-0"), &notice);
  ASSERT_NE(dynamic_cast<NoWallpaper*>(none.get()), nullptr);
  EXPECT_NE(notice, "");
  none->SetWallpaper("/nonexistent.bmp");  // does nothing, and does not fail
}

}  // namespace
}  // namespace dornava
