// The wallpaper of a plain X11 session: the picture becomes the root window's background, and
// the pixmap is published the way pseudo-transparent terminals and compositors look for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

// What became of one attempt; the service itself ignores it, tests read it.
enum class X11WallpaperResult {
  kSet,
  kCannotRead,         // no such file, or it cannot be opened or read
  kNotAnImage,         // no reader knows the format, or the data is damaged
  kTooLarge,           // the picture declares more pixels than the budget allows
  kNoDisplay,          // no X server to talk to
  kUnsupportedVisual,  // the root's visual is not TrueColor
  kServerRefused,      // the server failed a request (no memory for the pixmap, ...)
};

class X11RootWallpaper final : public DesktopWallpaper {
 public:
  // Pictures declaring more pixels than this are refused before they are decoded.
  static constexpr std::int64_t kMaxPixels = std::int64_t{10000} * 10000;

  // `displayName` empty: the one DISPLAY names.
  explicit X11RootWallpaper(std::string displayName = {});

  bool Apply(std::string_view path) override { return Install(path) == X11WallpaperResult::kSet; }

  // Says what happened. The path is bytes as stored, cut at the first NUL.
  X11WallpaperResult Install(std::string_view path);

 private:
  std::string displayName_;
};

}  // namespace dornava
