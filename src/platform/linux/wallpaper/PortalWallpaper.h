// The wallpaper through the desktop portal, for sessions whose desktop is not recognised: the
// portal's backend asks the desktop it belongs to.
#pragma once

#include <string_view>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

class PortalWallpaper final : public DesktopWallpaper {
 public:
  // Hands the portal the open file, not its name, and waits for its answer.
  bool Apply(std::string_view path) override;

  // Whether the session bus offers the portal's wallpaper interface.
  static bool Offered();
};

}  // namespace dornava
