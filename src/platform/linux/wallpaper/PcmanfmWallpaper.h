// The wallpaper of the desktops drawn by the PCManFM file managers: the Qt one of LXQt sessions,
// reached over the session bus, and the GTK one of LXDE sessions, reached through its command.
#pragma once

#include <string_view>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

class PcmanfmWallpaper final : public DesktopWallpaper {
 public:
  enum class Kind { kLxqt, kLxde };

  explicit PcmanfmWallpaper(Kind kind) : kind_(kind) {}

  // Scaled to fill the screen and cropped.
  bool Apply(std::string_view path) override;

 private:
  Kind kind_;
};

}  // namespace dornava
