// The wallpaper of a Plasma session, set through the shell's own scripting interface so every
// desktop of every activity and screen takes it at once.
#pragma once

#include <string>
#include <string_view>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

// The script that gives every desktop the picture as its image wallpaper, cropped to fill.
std::string PlasmaScript(std::string_view path);

class PlasmaWallpaper final : public DesktopWallpaper {
 public:
  bool Apply(std::string_view path) override;
};

}  // namespace dornava
