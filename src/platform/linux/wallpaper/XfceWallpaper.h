// The wallpaper of an Xfce desktop: the picture goes into the desktop's settings store, whose
// desktop process redraws every backdrop that names it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

class XfceWallpaper final : public DesktopWallpaper {
 public:
  // The monitors are the screens DISPLAY shows at each change.
  XfceWallpaper() = default;
  // For these monitor (connector) names, whatever the display.
  explicit XfceWallpaper(std::vector<std::string> monitors) : monitors_(std::move(monitors)) {}

  bool Apply(std::string_view path) override;

 private:
  std::optional<std::vector<std::string>> monitors_;
};

}  // namespace dornava
