// The command line's words: the key argument and the switches (/v, /ve, /t, ...), read by one
// table-driven parser.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/RegData.h"

namespace dornava::regtool {

struct KeyArg {
  RegKey root = 0;
  std::string path;      // for the registry: no empty levels
  std::string fullName;  // the long root name and the path as typed, for output
};

// Reads a key argument; returns the error line reg.exe prints for it, empty when it is a key.
std::string_view ParseKey(std::string_view text, KeyArg* key);

enum class Switch {
  kName,
  kDefault,
  kAllValues,
  kType,
  kSeparator,
  kData,
  kForce,
  kRecurse,
  kOverwrite,
  kView
};

struct SwitchRule {
  std::string_view word;  // after the "/" or "-", matched ignoring ASCII case
  Switch what;
  bool takesValue = false;
  bool repeatable = false;  // otherwise a second use is a syntax error
};

class Switches {
 public:
  bool Has(Switch what) const { return given_.count(what) != 0; }
  std::optional<std::string> Value(Switch what) const;

 private:
  friend bool ParseSwitches(const std::vector<std::string>&, std::size_t,
                            std::span<const SwitchRule>, Switches*);
  std::map<Switch, std::string> given_;
};

// Reads args[from..] as switches of `rules`; a switch that takes a value takes the next word,
// whatever it is. False on a word that is no switch of `rules`, a repeated switch, or a value
// missing at the end.
bool ParseSwitches(const std::vector<std::string>& args, std::size_t from,
                   std::span<const SwitchRule> rules, Switches* out);

// Accepted by every command (there is one view here): /reg:32 or /reg:64, not both.
inline constexpr SwitchRule kViewRules[] = {{"reg:32", Switch::kView}, {"reg:64", Switch::kView}};

}  // namespace dornava::regtool
