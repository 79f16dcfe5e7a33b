// Text helpers shared by the .reg reader/writer and the command line: UTF-8 / UTF-16
// conversion, root key names and the registry's case-insensitive name order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/RawRegistry.h"

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

// Registry names compare case-insensitively; reg.exe matches its own words (roots, types,
// switches) on ASCII.
bool NameEquals(std::string_view a, std::string_view b);

struct RootKeyName {
  RegKey key;
  const char* shortName;
  const char* longName;
};

// Recognises "HKCU", "HKEY_CURRENT_USER", ... at the start of `path` (case-insensitive), when
// followed by the end or a backslash. Returns null otherwise; *length gets the matched length.
const RootKeyName* FindRootKey(std::string_view path, std::size_t* length);
const char* RootLongName(RegKey root);

std::string ToUpperAscii(std::string_view text);

}  // namespace dornava::regtool
