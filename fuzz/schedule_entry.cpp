// A schedule line of any bytes: each field holds the characters at its place and no more, and
// its number stays within what so few characters can say.
#include <algorithm>
#include <string_view>

#include "FuzzBodies.h"
#include "store/ScheduleEntry.h"

namespace dornava::fuzz {

void FuzzScheduleEntry(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const ScheduleEntry entry(line);
  const std::size_t characters = CharacterCount(line);
  const auto from = [&](std::size_t at) { return characters > at ? characters - at : 0; };
  Expect(CharacterCount(entry.HoursField()) == std::min<std::size_t>(2, from(2)) &&
             CharacterCount(entry.MinutesField()) == std::min<std::size_t>(2, from(5)) &&
             CharacterCount(entry.Path()) == from(10),
         "each field holds the characters at its place");
  // Two characters read as a number from -9 to 99, whatever follows them.
  const double minute = entry.EntryMinute();
  Expect(minute >= -9 * 60 - 9 && minute <= 99 * 60 + 99, "the minute of two short fields");
}

}  // namespace dornava::fuzz
