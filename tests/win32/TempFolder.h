// A folder of the test's own under the system's temporary folder, removed with all it holds.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace dornava::test {

// Removes a folder tree, read-only, hidden and system entries too.
inline void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    char unique[MAX_PATH];
    GetTempFileNameA(base, "dor", 0, unique);
    DeleteFileA(unique);
    CreateDirectoryA(unique, nullptr);
    // In full, as the dialogs give it, not in the short form the temporary folder may have.
    char full[MAX_PATH];
    const DWORD length = GetLongPathNameA(unique, full, MAX_PATH);
    path_ = length > 0 && length < MAX_PATH ? full : unique;
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() { RemoveTree(path_); }

  // Without a trailing backslash.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

  // Writes a file of that name in the folder; returns its path.
  std::string Write(std::string_view name, std::string_view content) const {
    const std::string file = *this / name;
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(handle, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(handle);
    return file;
  }

 private:
  std::string path_;
};

}  // namespace dornava::test
