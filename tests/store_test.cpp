// The schedule entry, read by position, and the schedule store over a real registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/linux/SqliteRegistry.h"
#include "store/ScheduleEntry.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"
#include "support/RecordingRegistry.h"

namespace dornava {
namespace {

using test::RecordingRegistry;
using test::VectorList;

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
    const char *hours, *minutes, *path;
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

class ScheduleStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(raw_, nullptr); }

  void Put(const std::string& name, const RegValue& value, std::uint32_t type = kRegSz) {
    registr_.MakeRegKey(kHkeyCurrentUser, kScheduleKey);
    registr_.WriteRegValue(kHkeyCurrentUser, kScheduleKey, name, value, type);
  }
  RegValue Get(const std::string& name) {
    return registr_.ReadRegValue(kHkeyCurrentUser, kScheduleKey, name);
  }
  std::vector<std::string> Load() {
    VectorList list;
    LoadSchedule(registr_, list);
    return list.items;
  }

  std::unique_ptr<SqliteRegistry> raw_ = SqliteRegistry::Open(":memory:", nullptr);
  Registr registr_{*raw_};
};

// Hostile values load as they are, a megabyte, zeros and control characters included; values of
// other types are not entries.
TEST_F(ScheduleStoreTest, LoadSkipsGapsShortValuesAndForeignTypes) {
  VectorList list{"stale line from before"};
  EXPECT_FALSE(LoadSchedule(registr_, list)) << "no key yet";
  EXPECT_TRUE(list.items.empty());
  Put("000", RegValue("S 07:30 - C:\\a.bmp"));
  Put("002", RegValue("R 00:01 - C:\\b.bmp"));
  Put("003", RegValue("S 01:02 - "));  // ten characters: an entry without a path
  Put("004", RegValue("S 01:02 - x"));
  Put("005", RegValue("nějaké slovo navíc"));
  Put("006", RegValue(-1000000000), kRegDword);  // eleven characters as text
  Put("007", RegValue(-999999999), kRegDword);   // ten
  Put("008", RegValue("Příliš žlu"));            // ten characters, fourteen bytes
  const std::string huge(1 << 20, 'x'), controls("S 07:30 - a\0b\x01\x1b\x7f", 16);
  Put("010", RegValue(huge));
  Put("011", RegValue(controls));
  const std::uint8_t typed[] = {'S', ' ', '0', '1', ':', '0', '2', ' ', '-', ' ', 'x', 'y', 0};
  RegKey key = 0;
  raw_->OpenKeyEx(kHkeyCurrentUser, std::string(kScheduleKey).c_str(), 0, kKeyAccess, &key);
  for (const std::uint32_t type : {0, 2, 3, 5, 6, 7, 8, 11, 0x1234})
    raw_->SetValueEx(key, ScheduleValueName(20 + type % 32).c_str(), 0, type, typed, sizeof typed);
  raw_->CloseKey(key);
  Put("999", RegValue("S 23:59 - last"));
  Put("1000", RegValue("S 23:59 - beyond"));
  Put("01", RegValue("S 23:59 - two digits"));
  EXPECT_TRUE(LoadSchedule(registr_, list));
  EXPECT_EQ(list.items,
            (std::vector<std::string>{"S 07:30 - C:\\a.bmp", "R 00:01 - C:\\b.bmp", "S 01:02 - x",
                                      "nějaké slovo navíc", "-1000000000", huge, controls,
                                      "S 23:59 - last"}));
}

// A gapped schedule is renumbered, duplicates kept, and nothing beyond it stays. That the writes
// come before the deletes is what InterruptedChange shows.
TEST_F(ScheduleStoreTest, RewriteRenumbersAndClearsTheRest) {
  Put("000", RegValue("S 07:30 - same"));
  Put("002", RegValue("S 07:30 - same"));
  VectorList list;
  LoadSchedule(registr_, list);
  Put("500", RegValue("S 00:00 - far away"));
  RewriteSchedule(registr_, list);
  EXPECT_EQ(Load(), (std::vector<std::string>{"S 07:30 - same", "S 07:30 - same"}));
  EXPECT_TRUE(Get("002").IsEmpty());
  EXPECT_TRUE(Get("500").IsEmpty());
}

TEST_F(ScheduleStoreTest, MoreThanAThousandEntriesSpillBeyondWhatTheLoadReads) {
  VectorList list;
  for (int i = 0; i < 1002; ++i)
    list.items.push_back("R 00:01 - entry " + std::to_string(i));
  RewriteSchedule(registr_, list);
  EXPECT_EQ(Get("1000"), RegValue("R 00:01 - entry 1000"));
  EXPECT_EQ(Get("1001"), RegValue("R 00:01 - entry 1001"));
  const auto loaded = Load();
  ASSERT_EQ(loaded.size(), 1000u);
  EXPECT_EQ(loaded.back(), "R 00:01 - entry 999");
  // Names past "999" are neither read nor cleared again.
  RewriteSchedule(registr_, VectorList{"R 00:01 - only"});
  EXPECT_EQ(Get("1000"), RegValue("R 00:01 - entry 1000"));
}

TEST_F(ScheduleStoreTest, DeleteWithoutASelectionTouchesNothing) {
  VectorList list{"S 01:00 - one"};
  RewriteSchedule(registr_, list);
  RecordingRegistry recorder(*raw_);
  Registr registr(recorder);
  list.selected = -1;
  EXPECT_TRUE(DeleteSelectedEntry(registr, list));
  list.selected = 5;
  EXPECT_TRUE(DeleteSelectedEntry(registr, list));
  EXPECT_EQ(list.items.size(), 1u);
  EXPECT_TRUE(recorder.calls.empty());
}

// Interrupting a change after any raw call, on a registry without transactions (as on Windows):
// a reload must still hold every entry that was meant to stay. Checking the registry after every
// call that changed it is the same as stopping after the k-th call for every k: opening,
// reading, closing and deleting a value that is not there change nothing.
class InterruptedChange : public ScheduleStoreTest {
 protected:
  // Runs `change` through a registry that passes no batches on, reloading after every call
  // that changed it; records the first call after which an entry was missing or foreign.
  void Run(const std::vector<std::string>& stored, const std::vector<std::string>& mustStay,
           const std::vector<std::string>& added, const std::function<void(Registr&)>& change) {
    RewriteSchedule(registr_, VectorList(stored));
    firstLoss_ = -1;
    checks_ = 0;
    RecordingRegistry recorder(*raw_, /*forwardBatches=*/false);
    const auto in = [](const std::vector<std::string>& list, const std::string& entry) {
      return std::find(list.begin(), list.end(), entry) != list.end();
    };
    recorder.afterCall = [&](long k, std::int32_t status) {
      const std::string& call = recorder.calls.back();
      const bool changes = call.rfind("Set", 0) == 0 || call.rfind("Create", 0) == 0 ||
                           (call.rfind("Delete", 0) == 0 && status != kErrorFileNotFound);
      if (firstLoss_ >= 0 || !changes) return;
      ++checks_;
      const auto loaded = Load();
      for (const auto& entry : mustStay)
        if (!in(loaded, entry)) firstLoss_ = k, lost_ = entry;
      for (const auto& entry : loaded)
        if (!in(stored, entry) && !in(added, entry)) firstLoss_ = k, lost_ = "foreign " + entry;
    };
    Registr registr(recorder);
    change(registr);
  }

  long firstLoss_ = -1;
  long checks_ = 0;
  std::string lost_;
};

const std::vector<std::string> kFive = {"S 01:00 - a", "S 02:00 - b", "R 00:03 - c", "S 04:00 - d",
                                        "R 00:05 - e"};

TEST_F(InterruptedChange, DeletingAnyEntryNeverLosesAnother) {
  for (int index = 0; index < 5; ++index) {
    std::vector<std::string> rest = kFive;
    rest.erase(rest.begin() + index);
    Run(kFive, rest, {}, [&](Registr& registr) {
      VectorList list(kFive);
      list.selected = index;
      DeleteSelectedEntry(registr, list);
    });
    EXPECT_GE(checks_, 5) << "every write and every real delete is a point to stop at";
    EXPECT_EQ(firstLoss_, -1) << "deleting entry " << index << " lost " << lost_ << " after call "
                              << firstLoss_;
    EXPECT_EQ(Load(), rest);
  }
}

TEST_F(InterruptedChange, AppendingAndEditingNeverLoseAnEntry) {
  std::vector<std::string> six = kFive;
  six.push_back("S 06:00 - f");
  Run(kFive, kFive, {"S 06:00 - f"},
      [&](Registr& registr) { RewriteSchedule(registr, VectorList(six)); });
  EXPECT_EQ(firstLoss_, -1) << lost_ << " after call " << firstLoss_;

  // An edit: the entry is deleted, then appended changed; the others must survive throughout.
  std::vector<std::string> others = kFive;
  others.erase(others.begin() + 1);
  Run(kFive, others, {"S 02:30 - b"}, [&](Registr& registr) {
    VectorList list(kFive);
    list.selected = 1;
    DeleteSelectedEntry(registr, list);
    list.AddItem("S 02:30 - b");
    RewriteSchedule(registr, list);
  });
  EXPECT_EQ(firstLoss_, -1) << lost_ << " after call " << firstLoss_;
}

}  // namespace
}  // namespace dornava
