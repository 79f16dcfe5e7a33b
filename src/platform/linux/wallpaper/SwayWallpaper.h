// The wallpaper of wlroots compositors: sway over its IPC socket, Hyprland through hyprpaper, and
// the rest (niri, river, labwc, Wayfire, ...) through a swaybg of our own.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {

// A path that survives readers which expand words or split at commas: the path itself when it is
// absolute and holds only [A-Za-z0-9._/-], otherwise a new plain-named symlink to it in our
// runtime folder ($XDG_RUNTIME_DIR/dornava). Empty when that folder is not ours alone.
std::string PlainPath(std::string_view path);

// Removes every link PlainPath made except `kept`, once the desktop shows that one.
void KeepOnlyLink(std::string_view kept);

// Whether sway's answer to a run command says that every command in it succeeded.
bool SwayRunSucceeded(const std::string& reply);

class SwayWallpaper final : public DesktopWallpaper {
 public:
  bool Apply(std::string_view path) override;
};

class HyprlandWallpaper final : public DesktopWallpaper {
 public:
  bool Apply(std::string_view path) override;
};

// The swaybg it starts outlives the program, so the picture stays after it ends.
class SwaybgWallpaper final : public DesktopWallpaper {
 public:
  SwaybgWallpaper() = default;
  SwaybgWallpaper(const SwaybgWallpaper&) = delete;
  SwaybgWallpaper& operator=(const SwaybgWallpaper&) = delete;

  bool Apply(std::string_view path) override;

 private:
  pid_t running_ = -1;  // the swaybg showing our last picture
};

}  // namespace dornava
