#pragma once

#include <string>
#include <string_view>

namespace dornava {

// Upper-cases UTF-8 text the way registry names compare: ASCII, Latin-1, Latin Extended-A, Greek
// and Cyrillic letters; everything else, invalid bytes included, passes through unchanged.
std::string FoldCase(std::string_view text);

}  // namespace dornava
