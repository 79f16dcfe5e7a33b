#include "platform/linux/wallpaper/WallpaperBackend.h"

#include <cstdio>
#include <cstdlib>

#include "platform/linux/wallpaper/X11RootWallpaper.h"

namespace dornava {
namespace {

using Factory = std::unique_ptr<WallpaperService> (*)();

struct DesktopBackend {
  Desktop desktop;
  std::string_view name;
  Factory make;  // the desktop's own backend; null while it has none
};

// One line per desktop: a desktop gets its own backend by naming the factory here.
// clang-format off
constexpr DesktopBackend kDesktops[] = {
    {Desktop::kGnome, "GNOME", nullptr},
    {Desktop::kPlasma, "KDE Plasma", nullptr},
    {Desktop::kXfce, "Xfce", nullptr},
    {Desktop::kCinnamon, "Cinnamon", nullptr},
    {Desktop::kMate, "MATE", nullptr},
    {Desktop::kLxqt, "LXQt", nullptr},
    {Desktop::kBudgie, "Budgie", nullptr},
    {Desktop::kWlroots, "sway/wlroots", nullptr},
    {Desktop::kHyprland, "Hyprland", nullptr},
};
// clang-format on

struct DesktopAlias {
  std::string_view name;
  Desktop desktop;
};

// Entries of XDG_CURRENT_DESKTOP, a colon-separated list read from the front ("ubuntu:GNOME",
// "Budgie:GNOME", "labwc:wlroots").
constexpr DesktopAlias kCurrentDesktopNames[] = {
    {"gnome", Desktop::kGnome},         {"unity", Desktop::kGnome},
    {"kde", Desktop::kPlasma},          {"xfce", Desktop::kXfce},
    {"x-cinnamon", Desktop::kCinnamon}, {"cinnamon", Desktop::kCinnamon},
    {"mate", Desktop::kMate},           {"lxqt", Desktop::kLxqt},
    {"budgie", Desktop::kBudgie},       {"sway", Desktop::kWlroots},
    {"wlroots", Desktop::kWlroots},     {"river", Desktop::kWlroots},
    {"hyprland", Desktop::kHyprland},
};

// Beginnings of DESKTOP_SESSION, which names a session file ("gnome-xorg", "plasmawayland",
// "xfce4", "budgie-desktop"), sometimes by its full path.
constexpr DesktopAlias kSessionPrefixes[] = {
    {"gnome", Desktop::kGnome},  {"ubuntu", Desktop::kGnome},      {"plasma", Desktop::kPlasma},
    {"kde", Desktop::kPlasma},   {"xfce", Desktop::kXfce},         {"cinnamon", Desktop::kCinnamon},
    {"mate", Desktop::kMate},    {"lxqt", Desktop::kLxqt},         {"budgie", Desktop::kBudgie},
    {"sway", Desktop::kWlroots}, {"hyprland", Desktop::kHyprland},
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

const DesktopBackend* Find(Desktop desktop) {
  for (const auto& entry : kDesktops) {
    if (entry.desktop == desktop) return &entry;
  }
  return nullptr;
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

SessionEnvironment SessionEnvironment::FromProcess() {
  return {Variable("XDG_CURRENT_DESKTOP"), Variable("DESKTOP_SESSION"), Variable("DISPLAY"),
          Variable("WAYLAND_DISPLAY")};
}

Desktop DetectDesktop(const SessionEnvironment& environment) {
  if (!environment.xdgCurrentDesktop.empty()) {
    const std::string list = Lower(environment.xdgCurrentDesktop);
    std::string_view rest = list;
    while (!rest.empty()) {
      const auto colon = rest.find(':');
      const std::string_view entry = rest.substr(0, colon);
      for (const auto& alias : kCurrentDesktopNames) {
        if (entry == alias.name) return alias.desktop;
      }
      rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return Desktop::kUnknown;
  }
  std::string session = Lower(environment.desktopSession);
  session.erase(0, session.rfind('/') + 1);
  for (const auto& alias : kSessionPrefixes) {
    if (session.starts_with(alias.name)) return alias.desktop;
  }
  return Desktop::kUnknown;
}

std::string_view DesktopName(Desktop desktop) {
  const DesktopBackend* entry = Find(desktop);
  return entry ? entry->name : "an unknown desktop";
}

WallpaperChoice ChooseWallpaperBackend(const SessionEnvironment& environment) {
  WallpaperChoice choice;
  choice.desktop = DetectDesktop(environment);
  const bool x11 = !environment.display.empty();
  if (const DesktopBackend* entry = Find(choice.desktop)) {
    if (entry->make) {
      choice.backend = WallpaperBackend::kDesktop;
    } else if (x11) {
      choice.backend = WallpaperBackend::kX11Root;
      choice.notice = "dornava: setting the wallpaper the " + std::string(entry->name) +
                      " way is not supported yet; it goes on the X11 root window instead, where " +
                      "the desktop may cover it.";
    } else {
      choice.notice = "dornava: setting the wallpaper on " + std::string(entry->name) +
                      " without an X11 display is not supported yet; it stays as it is.";
    }
    return choice;
  }
  if (x11) {
    choice.backend = WallpaperBackend::kX11Root;
    if (!environment.waylandDisplay.empty()) {
      choice.notice =
          "dornava: this Wayland desktop is not one Dornava knows; the wallpaper goes on the X11 "
          "root window of Xwayland, which the desktop may not show.";
    }
    return choice;
  }
  choice.notice =
      "dornava: no X11 display and no known desktop; the wallpaper cannot be set in this session.";
  return choice;
}

std::unique_ptr<WallpaperService> MakeWallpaperService(const SessionEnvironment& environment,
                                                       std::string* notice) {
  WallpaperChoice choice = ChooseWallpaperBackend(environment);
  if (notice) *notice = std::move(choice.notice);
  switch (choice.backend) {
    case WallpaperBackend::kDesktop:
      return Find(choice.desktop)->make();
    case WallpaperBackend::kX11Root:
      return std::make_unique<X11RootWallpaper>(environment.display);
    case WallpaperBackend::kNone:
      break;
  }
  return std::make_unique<NoWallpaper>();
}

std::unique_ptr<WallpaperService> MakeWallpaperService() {
  std::string notice;
  auto service = MakeWallpaperService(SessionEnvironment::FromProcess(), &notice);
  if (!notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
  return service;
}

}  // namespace dornava
