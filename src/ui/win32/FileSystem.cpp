#include "ui/win32/FileSystem.h"

#include <windows.h>

#include <string>

namespace dornava {

bool Win32FileSystem::FileExists(std::string_view path) {
  if (path.empty() || path.find('\0') != std::string_view::npos) return false;
  std::string pattern(path);
  // A folder stands for everything in it.
  if (pattern.back() == '\\' || pattern.back() == '/') pattern += "*.*";

  // An empty removable drive must not stop the editor with the system's "insert a disk" box.
  DWORD oldMode = 0;
  const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  bool exists = false;
  if (search != INVALID_HANDLE_VALUE) {
    constexpr DWORD kNotNormal =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    do {
      exists = (found.dwFileAttributes & kNotNormal) == 0;
    } while (!exists && FindNextFileA(search, &found));
    FindClose(search);
  }
  if (modeSet) SetThreadErrorMode(oldMode, nullptr);
  return exists;
}

}  // namespace dornava
