#include "ui/win32/HyperLink.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace dornava {

void Win32HyperLink::OpenHyperLink(std::string_view link) {
  // UTF-8 is the ANSI code page under the program's manifest, so the text goes as it is.
  const std::string file(link);
  ShellExecuteA(nullptr, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace dornava
