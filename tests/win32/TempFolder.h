// A folder of the test's own under the system's temporary folder, removed with all it holds.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <string_view>

namespace dornava::test {

class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH], unique[MAX_PATH], full[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    GetTempFileNameA(base, "dor", 0, unique);
    DeleteFileA(unique);
    CreateDirectoryA(unique, nullptr);
    path_ = GetLongPathNameA(unique, full, MAX_PATH) ? full : unique;  // as the dialogs give it
  }
  TempFolder(const TempFolder&) = delete;
  ~TempFolder() {
    const std::string from = path_ + '\0';  // a list, ended by a second zero
    SHFILEOPSTRUCTA remove{nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, 0, 0, nullptr};
    SHFileOperationA(&remove);
  }

  const std::string& path() const { return path_; }  // without a trailing backslash
  std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

  std::string Write(std::string_view name, std::string_view content) const {
    const std::string file = *this / name;
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(handle, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(handle);
    return file;
  }

 private:
  std::string path_;
};

}  // namespace dornava::test
