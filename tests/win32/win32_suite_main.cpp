// The registry suite's registry under Wine: the real one, through the advapi32 wrapper.
#include "platform/win32/Win32Registry.h"
#include "registry_suite.h"

std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry() {
  return std::make_unique<dornava::Win32Registry>();
}
