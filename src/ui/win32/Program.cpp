#include "ui/win32/Program.h"

namespace dornava::win32 {

Program::Program(HINSTANCE instance, int showCommand, const ProgramServices& services)
    : listView_(instance, showCommand),
      addView_(instance, listView_),
      aboutView_(instance, listView_),
      add_(addView_, services.registr, services.dialogs, services.files),
      about_(aboutView_, services.links),
      list_(listView_, add_, about_, services.registr, services.system) {
  listView_.Attach(list_);
  addView_.Attach(add_);
  aboutView_.Attach(about_);
}

Program::~Program() {
  // While the logic the windows report to still exists; owned windows before their owner.
  aboutView_.Destroy();
  addView_.Destroy();
  listView_.Destroy();
}

}  // namespace dornava::win32
