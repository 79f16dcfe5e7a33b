// Which way the wallpaper is set in this session, decided from what the environment says about
// the desktop, the compositor and the displays.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

enum class WallpaperBackend {
  kNone,     // nothing fits: the wallpaper stays as it is
  kCommand,  // the user's own program
  kGnome,    // also Ubuntu, Budgie, Pantheon
  kCinnamon,
  kMate,
  kPlasma,
  kXfce,
  kLxqt,
  kLxde,
  kCosmic,
  kSway,
  kHyprland,
  kSwaybg,  // other layer-shell compositors
  kPortal,
  kX11Root,
};

// The variables the choice rests on, and a way to ask the bus for the portal, asked only when
// nothing else fits.
struct SessionEnvironment {
  std::map<std::string, std::string, std::less<>> variables;  // unset ones absent or empty
  std::function<bool()> portalOffered = [] { return false; };

  std::string Get(std::string_view name) const;
  static SessionEnvironment FromProcess();
};

struct WallpaperChoice {
  WallpaperBackend backend = WallpaperBackend::kNone;
  std::string notice;  // said once to the user when nothing fits
};

WallpaperChoice ChooseWallpaperBackend(const SessionEnvironment& environment);

// The user's DORNAVA_WALLPAPER_COMMAND: a program and its options, split at blanks (no quoting,
// no shell), run with the picture's path as its last argument.
class CommandWallpaper final : public DesktopWallpaper {
 public:
  explicit CommandWallpaper(std::string_view command);
  bool Apply(std::string_view path) override;

 private:
  std::vector<std::string> words_;
};

// A service that leaves the wallpaper alone, for sessions where it cannot be set.
class NoWallpaper final : public DesktopWallpaper {
 public:
  bool Apply(std::string_view) override { return false; }
};

// The service the choice names; its notice, if any, goes to `notice`.
std::unique_ptr<DesktopWallpaper> MakeWallpaperService(const SessionEnvironment& environment,
                                                       std::string* notice);

// The same for this process, the notice written to stderr.
std::unique_ptr<DesktopWallpaper> MakeWallpaperService();

}  // namespace dornava
