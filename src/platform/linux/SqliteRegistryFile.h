// The registry's database file: made private, checked before use, moved aside when it is not a
// healthy registry, and given its schema when new.
#pragma once

#include <string>

struct sqlite3;

namespace dornava {

// A connection to a ready registry at `path` (":memory:" for a private one), or null when none
// can be had. A file that is not a registry is moved aside, never overwritten; `notice` then
// says where it went.
sqlite3* OpenRegistryDatabase(const std::string& path, std::string* notice);

}  // namespace dornava
