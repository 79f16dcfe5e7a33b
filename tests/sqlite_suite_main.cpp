// The registry suite's registry on Linux: a fresh private SQLite registry per test.
#include "platform/linux/SqliteRegistry.h"
#include "registry_suite.h"

std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry() {
  return dornava::SqliteRegistry::Open(":memory:", nullptr);
}
