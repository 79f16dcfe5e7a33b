// UTF-8, the text encoding of everything the program stores and shows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dornava {

// The code point and byte length of the UTF-8 sequence at `at`; 0 when the bytes there are not
// one (truncated, overlong, a surrogate, past U+10FFFF).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t* codePoint);

void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace dornava
