// Registry data as the command line writes and shows it: type names, data given as text, data
// shown as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dornava::regtool {

inline constexpr std::uint32_t kRegDwordBigEndian = 5;

// The type reg.exe knows by this name (ignoring ASCII case).
std::optional<std::uint32_t> TypeFromName(std::string_view name);
// Its name, or "0x..." for a type without one.
std::string NameOfType(std::uint32_t type);

// How query shows data: text up to its first zero, numbers in hex, the rest as hex bytes.
std::string DataText(std::uint32_t type, std::string_view data);

// The bytes add stores for /d `data` (/s `separator` for REG_MULTI_SZ, empty for "\0").
// Returns the error line when the text is no data of that type, empty otherwise.
std::string_view DataFromText(std::uint32_t type, std::string_view data, std::string_view separator,
                              std::string* bytes);

}  // namespace dornava::regtool
