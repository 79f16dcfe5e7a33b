// GNOME (and Ubuntu, Budgie, Pantheon, which draw from its settings), Cinnamon and MATE: each
// shows the picture its GSettings schema names, so setting the wallpaper is writing those keys.
#pragma once

#include <string>
#include <string_view>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

enum class GSettingsDesktop { kGnome, kCinnamon, kMate };

class GSettingsWallpaper final : public DesktopWallpaper {
 public:
  // `schemaId` empty: the desktop's own background schema. Tests name others of the same shape.
  explicit GSettingsWallpaper(GSettingsDesktop desktop, std::string schemaId = {});

  bool Apply(std::string_view path) override;

 private:
  GSettingsDesktop desktop_;
  std::string schemaId_;
};

}  // namespace dornava
