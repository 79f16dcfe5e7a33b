#include "store/ScheduleEntry.h"

#include "store/Utf8.h"

namespace dornava {

namespace {
// Bytes in the character that starts at `at`: a valid UTF-8 sequence, or one stray byte.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  char32_t ignored = 0;
  const std::size_t length = DecodeUtf8(text, at, &ignored);
  return length ? length : 1;
}

// Byte offset of the character `skip` characters after `from`, or the end.
std::size_t Advance(std::string_view text, std::size_t from, std::size_t skip) {
  std::size_t at = from;
  // Plain ASCII, as in every well-formed entry's first ten characters, needs no decoding.
  while (skip > 0 && at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) {
    ++at;
    --skip;
  }
  for (std::size_t n = 0; n < skip && at < text.size(); ++n)
    at += CharacterLength(text, at);
  return at;
}
}  // namespace

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at = Advance(text, at, 1))
    ++count;
  return count;
}

std::string_view ScheduleEntry::Field(std::size_t offset, std::size_t count) const {
  const std::size_t begin = Advance(line_, 0, offset);
  if (count == std::string_view::npos) return line_.substr(begin);
  return line_.substr(begin, Advance(line_, begin, count) - begin);
}

std::string ScheduleEntry::Compose(bool systemClock, std::string_view hours,
                                   std::string_view minutes, std::string_view path) {
  std::string line;
  line.reserve(10 + path.size());
  line += systemClock ? 'S' : 'R';
  line += ' ';
  line += hours;
  line += ':';
  line += minutes;
  line += " - ";
  line += path;
  return line;
}

double ScheduleEntry::EntryMinute() const {
  return ReadNumber(HoursField()) * 60 + ReadNumber(MinutesField());
}

}  // namespace dornava
