// The registry-layer suite runs against every backend; each backend's test program defines
// MakeSuiteRegistry to hand it a registry to work on.
#pragma once

#include <memory>

#include "store/RawRegistry.h"

std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry();
