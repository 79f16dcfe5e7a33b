// The editor's file-system test on Windows.
#pragma once

#include <string_view>

#include "ui/Modules.h"

namespace dornava {

class Win32FileSystem final : public FileSystem {
 public:
  // A search for the path that finds a file with normal attributes: hidden and system files and
  // folders do not count. Wildcards pass when they match such a file, and so does a folder path
  // ending in a backslash that holds one. A path the search refuses counts as missing.
  bool FileExists(std::string_view path) override;
  char Separator() const override { return '\\'; }
};

}  // namespace dornava
