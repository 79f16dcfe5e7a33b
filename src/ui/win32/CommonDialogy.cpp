#include "ui/win32/CommonDialogy.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace dornava {

std::string Win32CommonDialogy::ShowOpenDialog(WindowHandle owner, std::string_view title,
                                               std::string_view filter, std::string_view initialDir,
                                               std::uint32_t flags) {
  title_ = title;
  // Two zeros close the list whether or not the caller ended the last pattern with one.
  filter_ = filter;
  filter_.append(2, '\0');
  initialDir_ = initialDir;
  // The blanks fill the buffer; the dialog's file name box shows them as empty.
  std::memset(file_, ' ', kBufferSize - 1);
  file_[kBufferSize - 1] = '\0';
  std::memset(fileTitle_, ' ', kBufferSize - 1);
  fileTitle_[kBufferSize - 1] = '\0';

  // The size of the original record, without the fields later systems added: a 64-bit system
  // refuses the 32-bit literal 76.
  record_.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  record_.hwndOwner = reinterpret_cast<HWND>(owner);
  record_.hInstance = GetModuleHandleA(nullptr);
  record_.lpstrFilter = filter_.c_str();
  record_.lpstrFile = file_;
  record_.nMaxFile = kBufferSize;
  record_.lpstrFileTitle = fileTitle_;
  record_.nMaxFileTitle = kBufferSize;
  record_.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  record_.lpstrTitle = title_.c_str();
  record_.Flags = flags;
  if (hook_) {
    record_.Flags |= OFN_ENABLEHOOK;
    record_.lpfnHook = hook_;
  }
  if (!GetOpenFileNameA(&record_)) return {};
  return std::string(file_, std::find(file_, std::end(file_), '\0'));
}

}  // namespace dornava
