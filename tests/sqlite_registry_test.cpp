// The SQLite registry's own side: its locks, a stand-in for its file, its names. What every
// registry promises is in registry_suite.cpp, run here on an in-memory registry; kills, damaged
// files and several processes at once are in reliability/.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "platform/linux/LinuxSystem.h"
#include "platform/linux/SqliteRegistry.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry();
std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry() {
  return dornava::SqliteRegistry::Open(":memory:", nullptr);
}

namespace dornava {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

void Rewrite(RawRegistry& raw, const Lines& lines) {
  Registr registr(raw);
  RewriteSchedule(registr, test::VectorList(lines));
}

class SqliteFileTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  std::string path_ = dir_ / "config/dornava/registry.db";
};

// A batch that could not take the write lock writes nothing, even once the lock has gone. What
// else the file survives (damage, links, locks) is in reliability/damaged.sh.
TEST_F(SqliteFileTest, ALockLessBatchChangesNothing) {
  fs::create_directories(fs::path(path_).parent_path());
  auto open = SqliteRegistry::Open(path_, nullptr);
  Rewrite(*open, {"S 07:30 - sea"});
  RegKey key = 0;
  ASSERT_EQ(open->OpenKeyEx(kHkeyCurrentUser, "Software\\Brenlow\\Dornava", 0, 0xF003F, &key), 0);
  sqlite3* writer = nullptr;
  sqlite3_open(path_.c_str(), &writer);
  sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  open->BeginBatch(true);
  sqlite3_close(writer);
  EXPECT_NE(open->SetValueEx(key, "000", 0, kRegSz, reinterpret_cast<const std::uint8_t*>("x"), 1),
            0);
  open->EndBatch();
  EXPECT_FALSE(open->LastBatchKept());
}

// A stand-in for a file it could not open reaches the file before a change once it can: the
// stored schedule first, this run's entries after it, the selection still on its entry.
TEST_F(SqliteFileTest, AStandInReachesItsFileAtLastKeepingBothSchedules) {
  fs::create_directories(path_);  // a folder in the file's place
  const auto raw = SqliteRegistry::StandIn(path_);
  Registr registr(*raw);
  test::VectorList list{"S 09:00 - added", "S 10:00 - selected"};
  list.selected = 1;
  EXPECT_FALSE(ReconnectSchedule(registr, list));
  fs::remove(path_);
  Rewrite(*SqliteRegistry::Open(path_, nullptr), {"S 07:00 - stored"});
  EXPECT_TRUE(ReconnectSchedule(registr, list));
  EXPECT_FALSE(ReconnectSchedule(registr, list)) << "once there, it stays";
  test::VectorList stored;
  const auto fresh = SqliteRegistry::Open(path_, nullptr);
  Registr reader(*fresh);
  LoadSchedule(reader, stored);
  EXPECT_EQ(list.items, (Lines{"S 07:00 - stored", "S 09:00 - added", "S 10:00 - selected"}));
  EXPECT_EQ(stored.items, list.items);
  EXPECT_EQ(list.selected, 2);
}

// After Start the window's process becomes a fresh one only when that would run the list shown.
TEST_F(SqliteFileTest, ANewProcessRunsTheShownListOnlyFromTheFileHoldingIt) {
  fs::create_directories(fs::path(path_).parent_path());
  const Lines shown{"S 07:00 - sea", "R 00:05 - hills"};
  const struct {
    const char* what;
    bool standIn;
    Lines stored;
    bool runs;
  } rows[] = {
      {"the same lines", false, shown, true},
      {"a line changed behind the window", false, {"S 07:00 - sea", "R 00:06 - hills"}, false},
      {"one more line", false, {"S 07:00 - sea", "R 00:05 - hills", "S 08:00 - sky"}, false},
      {"a stand-in in memory", true, shown, false},
  };
  for (const auto& row : rows) {
    const auto raw =
        row.standIn ? SqliteRegistry::StandIn(path_) : SqliteRegistry::Open(path_, nullptr);
    Rewrite(*raw, row.stored);
    EXPECT_EQ(NewProcessRuns(*raw, test::VectorList(shown)), row.runs) << row.what;
  }
}

// Names fold by their letters, not just ASCII, and keep their first spelling; a tree goes
// exactly, not a key whose name merely starts the same.
TEST_F(SqliteFileTest, NamesKeepTheirCaseAndTreesDeleteExactly) {
  auto raw = SqliteRegistry::Open(":memory:", nullptr);
  Registr registr(*raw);
  for (const char* key : {"Software\\Tree\\Leaf", "Software\\Tree2", "Software\\Tree]x",
                          "Software\\Úžasný ÿ αβγ ё"}) {
    registr.MakeRegKey(kHkeyCurrentUser, key);
    registr.WriteRegValue(kHkeyCurrentUser, key, "Jméno", RegValue("v"), kRegSz);
  }
  registr.WriteRegValue(kHkeyCurrentUser, "SOFTWARE\\ÚŽASNÝ Ÿ ΑΒΓ Ё\\", "JMÉNO", RegValue("w"),
                        kRegSz);
  RegKey key = 0;
  EXPECT_EQ(raw->OpenKeyEx(kHkeyCurrentUser, "Software\\\\Tree", 0, kKeyAccess, &key),
            kErrorBadPathname);
  ASSERT_EQ(raw->OpenKeyEx(kHkeyCurrentUser, "software\\úžasný ÿ αβγ ё", 0, kKeyAccess, &key),
            kErrorSuccess);
  std::vector<RegValueRecord> values;
  ASSERT_EQ(raw->EnumValues(key, &values), kErrorSuccess);
  EXPECT_EQ(values, (std::vector<RegValueRecord>{{"Jméno", kRegSz, "w"}}));
  RegKey root = 0;
  std::string path;
  ASSERT_EQ(raw->KeyPath(key, &root, &path), kErrorSuccess);
  EXPECT_EQ(path, "Software\\Úžasný ÿ αβγ ё");

  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, "software\\tree"), kErrorSuccess);
  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, "Software\\Tree"), kErrorFileNotFound);
  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, ""), kErrorAccessDenied);
  Lines names;
  ASSERT_EQ(raw->OpenKeyEx(kHkeyCurrentUser, "Software", 0, kKeyAccess, &key), kErrorSuccess);
  ASSERT_EQ(raw->EnumSubKeys(key, &names), kErrorSuccess);
  EXPECT_EQ(names, (Lines{"Tree2", "Tree]x", "Úžasný ÿ αβγ ё"}));
  EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, "Software\\Tree\\Leaf", "Jméno").IsEmpty());
}

}  // namespace
}  // namespace dornava
