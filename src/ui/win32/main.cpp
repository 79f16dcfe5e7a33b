// The Windows edition's entry point: the real registry and system services, the main window, and
// the message loop that runs until the window is closed or the program ends itself.
#include <windows.h>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Services.h"
#include "store/Registr.h"
#include "ui/win32/CommonDialogy.h"
#include "ui/win32/FileSystem.h"
#include "ui/win32/FormKit.h"
#include "ui/win32/HyperLink.h"
#include "ui/win32/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  dornava::Win32Registry raw;
  dornava::Registr registr(raw);
  dornava::Win32Environment environment;
  dornava::Win32LocalClock clock;
  dornava::Win32MonotonicClock monotonic;
  dornava::Win32Wallpaper wallpaper;
  dornava::Win32CommonDialogy dialogs;
  dornava::Win32HyperLink links;
  dornava::Win32FileSystem files;
  dornava::win32::Program program(
      instance, show, {registr, {environment, clock, monotonic, wallpaper}, dialogs, links, files});
  if (!program.Create()) return 1;
  program.Load();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (dornava::win32::TranslateFormMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
