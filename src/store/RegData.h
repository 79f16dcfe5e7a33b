// What every reader and writer of registry data shares: the predefined roots and their names,
// the little-endian number layout, key paths below a root, and one value as a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/RawRegistry.h"

namespace dornava {

struct RootKey {
  RegKey key;
  const char* shortName;  // "HKCU"
  const char* longName;   // "HKEY_CURRENT_USER"
};

inline constexpr RootKey kRootKeys[] = {
    {kHkeyLocalMachine, "HKLM", "HKEY_LOCAL_MACHINE"},
    {kHkeyCurrentUser, "HKCU", "HKEY_CURRENT_USER"},
    {kHkeyClassesRoot, "HKCR", "HKEY_CLASSES_ROOT"},
    {kHkeyUsers, "HKU", "HKEY_USERS"},
    {kHkeyCurrentConfig, "HKCC", "HKEY_CURRENT_CONFIG"},
};

// Null when `key` is not a predefined root.
const RootKey* FindRootKey(RegKey key);
// Recognises "HKCU", "HKEY_CURRENT_USER", ... at the start of `path` (ASCII case-insensitive)
// when the end or a backslash follows; *length gets the matched length. Null otherwise.
const RootKey* FindRootKey(std::string_view path, std::size_t* length);

// Registry words (roots, types, switches) compare case-insensitively on ASCII.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The first `width` bytes of `data` (all of it when shorter), least significant first.
std::uint64_t FromLittleEndian(std::string_view data, std::size_t width);
// The low `width` bytes of `value`, least significant first.
std::string ToLittleEndian(std::uint64_t value, std::size_t width);

// A key path below a root or an open key, levels separated by single backslashes, "" for the key
// itself. Trailing backslashes are dropped. An empty level (a leading or doubled backslash) is
// skipped when `skipEmptyLevels`, otherwise the path is refused (false).
bool NormaliseKeyPath(std::string_view path, bool skipEmptyLevels, std::string* out);

// One value: its name ("" for the default value), type and bytes as stored.
struct RegValueRecord {
  std::string name;
  std::uint32_t type = kRegNone;
  std::string data;

  friend bool operator==(const RegValueRecord&, const RegValueRecord&) = default;
};

}  // namespace dornava
