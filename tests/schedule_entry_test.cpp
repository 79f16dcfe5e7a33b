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

TEST(ScheduleEntry, FieldsAreTakenByPosition) {
  const ScheduleEntry entry("S 07:30 - C:\\Obrázky\\léto.bmp");
  EXPECT_TRUE(entry.IsSystemClock());
  EXPECT_EQ(entry.HoursField(), "07");
  EXPECT_EQ(entry.MinutesField(), "30");
  EXPECT_EQ(entry.Path(), "C:\\Obrázky\\léto.bmp");
  EXPECT_DOUBLE_EQ(entry.EntryMinute(), 450);

  // The separators are never looked for: a shifted line reads by position all the same.
  const ScheduleEntry shifted("S 7:30 - C:\\x.bmp");
  EXPECT_EQ(shifted.HoursField(), "7:");
  EXPECT_EQ(shifted.MinutesField(), "0 ");
  EXPECT_EQ(shifted.Path(), ":\\x.bmp");
  EXPECT_DOUBLE_EQ(shifted.EntryMinute(), 7 * 60);

  // Minutes above 59 carry into the next hour.
  EXPECT_DOUBLE_EQ(ScheduleEntry("R 00:90 - x").EntryMinute(), 90);
  EXPECT_DOUBLE_EQ(ScheduleEntry("R 24:00 - x").EntryMinute(), 1440);
}

TEST(ScheduleEntry, OnlyACapitalSMeansTheClock) {
  EXPECT_FALSE(ScheduleEntry("s 07:30 - x").IsSystemClock());
  EXPECT_FALSE(ScheduleEntry("R 07:30 - x").IsSystemClock());
  EXPECT_FALSE(ScheduleEntry("X 07:30 - x").IsSystemClock());
  EXPECT_FALSE(ScheduleEntry("").IsSystemClock());
}

TEST(ScheduleEntry, ShortAndOddLinesReadWithoutFault) {
  const ScheduleEntry empty("");
  EXPECT_EQ(empty.HoursField(), "");
  EXPECT_EQ(empty.Path(), "");
  EXPECT_DOUBLE_EQ(empty.EntryMinute(), 0);
  const ScheduleEntry word("Dobrý den, světe");
  EXPECT_DOUBLE_EQ(word.EntryMinute(), 0);
  EXPECT_EQ(word.Path(), " světe");
  const ScheduleEntry tenCharacters("S 01:02 - ");
  EXPECT_EQ(tenCharacters.Path(), "");
  EXPECT_DOUBLE_EQ(tenCharacters.EntryMinute(), 62);
  EXPECT_EQ(ScheduleEntry("S 0").HoursField(), "0");
  // Characters, not bytes: "ř" and "ž" are one character each.
  const ScheduleEntry czech("ř řž:žř - cesta");
  EXPECT_EQ(czech.HoursField(), "řž");
  EXPECT_EQ(czech.MinutesField(), "žř");
  EXPECT_EQ(czech.Path(), "cesta");
  EXPECT_EQ(CharacterCount("Příliš žlu"), 10u);
  EXPECT_EQ(CharacterCount("\x80\x80"
                           "abc"),
            5u);
  EXPECT_EQ(ScheduleEntry("S 01:").MinutesField(), "");
}

TEST(ScheduleEntry, ComposeIsPlainConcatenation) {
  EXPECT_EQ(ScheduleEntry::Compose(true, "07", "05", "/home/eva/sea.bmp"),
            "S 07:05 - /home/eva/sea.bmp");
  EXPECT_EQ(ScheduleEntry::Compose(false, "00", "01", "C:\\a b\\c.bmp"),
            "R 00:01 - C:\\a b\\c.bmp");
  const std::string line = ScheduleEntry::Compose(false, "12", "34", "p");
  const ScheduleEntry entry(line);
  EXPECT_DOUBLE_EQ(entry.EntryMinute(), 12 * 60 + 34);
  EXPECT_EQ(entry.Path(), "p");
}

}  // namespace
}  // namespace dornava
