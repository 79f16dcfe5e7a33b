// Which way the wallpaper is set in this session, decided from what the environment says about
// the desktop and the displays.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "switching/Services.h"

namespace dornava {

// Desktops that keep the wallpaper their own way, over whatever the root window shows.
enum class Desktop {
  kUnknown,
  kGnome,
  kPlasma,
  kXfce,
  kCinnamon,
  kMate,
  kLxqt,
  kBudgie,
  kWlroots,
  kHyprland,
};

// The variables the choice rests on; empty means unset.
struct SessionEnvironment {
  std::string xdgCurrentDesktop;  // XDG_CURRENT_DESKTOP
  std::string desktopSession;     // DESKTOP_SESSION
  std::string display;            // DISPLAY
  std::string waylandDisplay;     // WAYLAND_DISPLAY

  static SessionEnvironment FromProcess();
};

enum class WallpaperBackend {
  kNone,     // nothing can be done in this session
  kDesktop,  // the detected desktop's own backend
  kX11Root,  // the root window of the X display
};

struct WallpaperChoice {
  Desktop desktop = Desktop::kUnknown;
  WallpaperBackend backend = WallpaperBackend::kNone;
  // Said once to the user when the wallpaper will not go where the desktop shows it.
  std::string notice;
};

// The desktop of the session: XDG_CURRENT_DESKTOP when it is set, otherwise DESKTOP_SESSION.
Desktop DetectDesktop(const SessionEnvironment& environment);

std::string_view DesktopName(Desktop desktop);

WallpaperChoice ChooseWallpaperBackend(const SessionEnvironment& environment);

// A service that leaves the wallpaper alone, for sessions where it cannot be set.
class NoWallpaper final : public WallpaperService {
 public:
  void SetWallpaper(std::string_view) override {}
};

// The service the choice names; its notice, if any, goes to `notice`.
std::unique_ptr<WallpaperService> MakeWallpaperService(const SessionEnvironment& environment,
                                                       std::string* notice);

// The same for this process, the notice written to stderr.
std::unique_ptr<WallpaperService> MakeWallpaperService();

}  // namespace dornava
