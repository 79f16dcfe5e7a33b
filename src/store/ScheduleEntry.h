// One schedule line: "S 07:30 - C:\path.bmp". Readers take fields by fixed position and never
// search for the separators, so hand-edited or malformed lines read the same way everywhere.
#pragma once

#include <string>
#include <string_view>

#include "store/ReadNumber.h"

namespace dornava {

// Positions and lengths count characters, not bytes: text is UTF-8, and a stray byte that is
// not valid UTF-8 counts as a character of its own.
std::size_t CharacterCount(std::string_view text);

class ScheduleEntry {
 public:
  explicit ScheduleEntry(std::string_view line) : line_(line) {}

  // Concatenates the fields as the editor builds a line; nothing is checked.
  static std::string Compose(bool systemClock, std::string_view hours, std::string_view minutes,
                             std::string_view path);

  // Only a capital "S" means the system clock; any other letter counts from Start.
  bool IsSystemClock() const { return !line_.empty() && line_[0] == 'S'; }
  std::string_view HoursField() const { return Field(2, 2); }
  std::string_view MinutesField() const { return Field(5, 2); }
  std::string_view Path() const { return Field(10, std::string_view::npos); }
  // hours × 60 + minutes, with no range check.
  double EntryMinute() const;

 private:
  // Up to `count` characters from the 0-based character `offset`.
  std::string_view Field(std::size_t offset, std::size_t count) const;
  std::string_view line_;
};

}  // namespace dornava
