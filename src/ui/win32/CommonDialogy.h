// The open-file dialog of the Windows edition: comdlg32's GetOpenFileNameA.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <string_view>

#include "ui/Modules.h"

namespace dornava {

class Win32CommonDialogy final : public CommonDialogy {
 public:
  // The hook is for tests, which drive the dialog through it; the program passes none.
  explicit Win32CommonDialogy(LPOFNHOOKPROC hook = nullptr) : hook_(hook) {}
  Win32CommonDialogy(const Win32CommonDialogy&) = delete;
  Win32CommonDialogy& operator=(const Win32CommonDialogy&) = delete;

  std::string ShowOpenDialog(WindowHandle owner, std::string_view title, std::string_view filter,
                             std::string_view initialDir, std::uint32_t flags) override;

  // The record as the last dialog left it.
  const OPENFILENAMEA& Record() const { return record_; }

 private:
  static constexpr DWORD kBufferSize = 255;

  // One record for the whole run: what the dialog writes back (the chosen filter pair) carries
  // over to the next call. The texts it points to live as long as it does.
  OPENFILENAMEA record_{};
  LPOFNHOOKPROC hook_;
  std::string title_;
  std::string filter_;
  std::string initialDir_;
  char file_[kBufferSize] = {};
  char fileTitle_[kBufferSize] = {};
};

}  // namespace dornava
