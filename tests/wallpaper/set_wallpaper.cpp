// Sets the wallpaper the way the running program would, through the backend the environment
// chooses, and says by its exit status whether the desktop took it; for the scripts that look
// at a real desktop's screen.
#include <QCoreApplication>

#include "platform/linux/wallpaper/WallpaperBackend.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  return argc == 2 && dornava::MakeWallpaperService()->Apply(argv[1]) ? 0 : 1;
}
