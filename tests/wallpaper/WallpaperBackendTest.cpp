// The choice of wallpaper backend from the session's environment.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/linux/wallpaper/WallpaperBackend.h"
#include "platform/linux/wallpaper/X11RootWallpaper.h"

namespace dornava {
namespace {

TEST(WallpaperChoice, EnvironmentInBackendOut) {
  using enum WallpaperBackend;
  // XDG_CURRENT_DESKTOP (if set, it decides), DESKTOP_SESSION, DISPLAY, WAYLAND_DISPLAY; notice.
  const std::tuple<SessionEnvironment, Desktop, WallpaperBackend, std::string> rows[] = {
      {{"i3", "gnome", ":0", ""}, Desktop::kUnknown, kX11Root, ""},
      {{"GNOMEish", "", ":0", ""}, Desktop::kUnknown, kX11Root, ""},
      {{"GNOME", "", ":0", ""}, Desktop::kGnome, kX11Root, "the GNOME way"},
      {{"ubuntu:GNOME", "ubuntu", ":0", ""}, Desktop::kGnome, kX11Root, "GNOME"},
      {{"Unity", "", ":0", ""}, Desktop::kGnome, kX11Root, "GNOME"},
      {{"KDE", "", ":0", "wayland-0"}, Desktop::kPlasma, kX11Root, "KDE Plasma"},
      {{"X-Cinnamon", "cinnamon", ":0", ""}, Desktop::kCinnamon, kX11Root, "Cinnamon"},
      {{"Budgie:GNOME", "", ":0", ""}, Desktop::kBudgie, kX11Root, "Budgie"},
      {{"sway", "", ":0", "wayland-1"}, Desktop::kWlroots, kX11Root, "sway/wlroots"},
      {{"labwc:wlroots", "", ":0", ""}, Desktop::kWlroots, kX11Root, "sway/wlroots"},
      {{"Hyprland", "hyprland", ":0", ""}, Desktop::kHyprland, kX11Root, "Hyprland"},
      {{"", "gnome-xorg", ":0", ""}, Desktop::kGnome, kX11Root, "GNOME"},
      {{"", "/usr/share/xsessions/plasmawayland", ":0", ""}, Desktop::kPlasma, kX11Root, "Plasma"},
      {{"", "Hyprland", ":0", ""}, Desktop::kHyprland, kX11Root, "Hyprland"},
      {{"GNOME", "", "", "wayland-0"}, Desktop::kGnome, kNone, "on GNOME without an X11 display"},
      {{"", "", ":0", "wayland-0"}, Desktop::kUnknown, kX11Root, "Xwayland"},
      {{"", "", "", "wayland-0"}, Desktop::kUnknown, kNone, "no X11 display and no known desktop"},
  };
  for (const auto& [env, desktop, backend, notice] : rows) {
    SCOPED_TRACE(env.xdgCurrentDesktop + "|" + env.desktopSession + "|" + env.waylandDisplay);
    const WallpaperChoice choice = ChooseWallpaperBackend(env);
    EXPECT_EQ(choice.desktop, desktop);
    EXPECT_EQ(choice.backend, backend);
    EXPECT_EQ(choice.notice.empty(), notice.empty()) << choice.notice;
    EXPECT_NE(choice.notice.find(notice), std::string::npos) << choice.notice;
    std::string said = "stale";
    const auto service = MakeWallpaperService(env, &said);
    EXPECT_EQ(said, choice.notice);
    EXPECT_EQ(dynamic_cast<X11RootWallpaper*>(service.get()) != nullptr, backend == kX11Root);
    EXPECT_EQ(dynamic_cast<NoWallpaper*>(service.get()) != nullptr, backend == kNone);
  }
}

}  // namespace
}  // namespace dornava
