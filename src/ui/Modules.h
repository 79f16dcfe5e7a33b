// The small system modules behind the windows: the open-file dialog, the shell's link opener and
// the file-system test the editor needs. Each platform provides them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dornava {

// A window of the platform's, for owning a dialog.
using WindowHandle = std::uintptr_t;

class CommonDialogy {
 public:
  virtual ~CommonDialogy() = default;
  // The chosen file's full path, or empty when the user cancelled or the dialog failed. The
  // filter is description/pattern pairs, each element ended by a zero character. The dialog
  // starts with the filter pair the user last chose in this run.
  virtual std::string ShowOpenDialog(WindowHandle owner, std::string_view title,
                                     std::string_view filter, std::string_view initialDir,
                                     std::uint32_t flags) = 0;
};

class HyperLink {
 public:
  virtual ~HyperLink() = default;
  // Hands the link to the shell; failures are ignored.
  virtual void OpenHyperLink(std::string_view link) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Whether the path names an existing file with normal attributes.
  virtual bool FileExists(std::string_view path) = 0;
  // What ends the folder part of a path the open-file dialog returns.
  virtual char Separator() const = 0;
};

// Hide read-only box, file must exist, explorer style, resizable.
inline constexpr std::uint32_t kOpenDialogFlags = 0x881004;

}  // namespace dornava
