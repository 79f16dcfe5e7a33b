#include <gtest/gtest.h>

#include "store/ScheduleEntry.h"

namespace dornava {
namespace {

TEST(ReadNumber, TakesTheLeadingNumberOfAField) {
  const struct {
    const char* field;
    double value;
  } cases[] = {
      {"07", 7}, {"23", 23}, {" 7", 7}, {"7 ", 7},    {"  ", 0},   {"", 0},        {"ab", 0},
      {"1a", 1}, {"-5", -5}, {"+5", 5}, {"1.5", 1.5}, {".5", 0.5}, {"1.2.3", 1.2}, {"- 3", -3},
      {"3-", 3}, {"--1", 0}, {"9:", 9}, {"0x1", 0},   {"1e3", 1},  {"\t4", 4},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(ReadNumber(c.field), c.value) << '"' << c.field << '"';
}

// Fields are taken by character position and the separators are never looked for, so shifted,
// short and malformed lines read the same way everywhere.
TEST(ScheduleEntry, FieldsAreTakenByCharacterPosition) {
  const struct {
    const char* line;
    bool clock;
    const char* hours;
    const char* minutes;
    const char* path;
    double minute;
  } cases[] = {
      {"S 07:30 - C:\\Obrázky\\léto.bmp", true, "07", "30", "C:\\Obrázky\\léto.bmp", 450},
      {"S 7:30 - C:\\x.bmp", true, "7:", "0 ", ":\\x.bmp", 7 * 60},
      {"R 00:90 - x", false, "00", "90", "x", 90},
      {"R 24:00 - x", false, "24", "00", "x", 1440},
      {"s 07:30 - x", false, "07", "30", "x", 450},
      {"X 07:30 - x", false, "07", "30", "x", 450},
      {"", false, "", "", "", 0},
      {"S 0", true, "0", "", "", 0},
      {"S 01:", true, "01", "", "", 60},
      {"S 01:02 - ", true, "01", "02", "", 62},
      {"Dobrý den, světe", false, "br", " d", " světe", 0},
      // "ř" and "ž" are one character each, though two bytes.
      {"ř řž:žř - cesta", false, "řž", "žř", "cesta", 0},
      {"S \x80\x80:01 - p", true, "\x80\x80", "01", "p", 1},
  };
  for (const auto& c : cases) {
    const ScheduleEntry entry(c.line);
    EXPECT_EQ(entry.IsSystemClock(), c.clock) << c.line;
    EXPECT_EQ(entry.HoursField(), c.hours) << c.line;
    EXPECT_EQ(entry.MinutesField(), c.minutes) << c.line;
    EXPECT_EQ(entry.Path(), c.path) << c.line;
    EXPECT_DOUBLE_EQ(entry.EntryMinute(), c.minute) << c.line;
  }
  EXPECT_EQ(CharacterCount("Příliš žlu"), 10u);
  EXPECT_EQ(CharacterCount("\x80\x80"
                           "abc"),
            5u);
}

TEST(ScheduleEntry, ComposeIsPlainConcatenation) {
  EXPECT_EQ(ScheduleEntry::Compose(true, "07", "05", "/home/eva/sea.bmp"),
            "S 07:05 - /home/eva/sea.bmp");
  EXPECT_EQ(ScheduleEntry::Compose(false, "9", "123", "C:\\a b\\c.bmp"),
            "R 9:123 - C:\\a b\\c.bmp");
}

}  // namespace
}  // namespace dornava
