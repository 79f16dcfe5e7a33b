// Links opened by the Windows shell: the browser or mail program the user registered for them.
#pragma once

#include <string_view>

#include "ui/Modules.h"

namespace dornava {

class Win32HyperLink final : public HyperLink {
 public:
  void OpenHyperLink(std::string_view link) override;
};

}  // namespace dornava
