// The wallpaper of a COSMIC desktop: its background service shows what its configuration names
// and watches the files, so setting the wallpaper is writing them.
#pragma once

#include <string_view>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

class CosmicWallpaper final : public DesktopWallpaper {
 public:
  // Writes the one background every output shows, in the folder under XDG_CONFIG_HOME (or
  // ~/.config) the service reads.
  bool Apply(std::string_view path) override;
};

}  // namespace dornava
