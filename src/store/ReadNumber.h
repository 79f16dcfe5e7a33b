// The one reader of numbers in stored text: schedule fields and registry texts alike.
#pragma once

#include <string_view>

namespace dornava {

// The leading number of a field: blanks skipped, a sign and a decimal point accepted, reading
// stops at the first other character, no digits gives 0.
double ReadNumber(std::string_view field);

}  // namespace dornava
