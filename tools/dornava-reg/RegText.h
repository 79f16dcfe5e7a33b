// Text conversions for the .reg reader/writer and the command line: UTF-8 and UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace dornava::regtool {

// Invalid sequences become U+FFFD, so the result is always well-formed.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// False when `text` contains an unpaired surrogate.
bool IsValidUtf16(std::u16string_view text);

// Little-endian byte pairs; an odd trailing byte is dropped, as Windows does when it converts
// such data to the "A" side.
std::u16string Utf16FromLeBytes(std::string_view bytes);
std::string Utf16ToLeBytes(std::u16string_view text);

// Number of UTF-16 code units `text` takes once converted.
std::size_t Utf16Length(std::string_view text);

std::string ToUpperAscii(std::string_view text);

}  // namespace dornava::regtool
