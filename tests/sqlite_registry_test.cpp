// The SQLite registry's own side: its file, several processes at once, a process killed mid-change.
// What every registry promises is in registry_suite.cpp, run here on an in-memory registry.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/linux/FoldCase.h"
#include "platform/linux/SqliteRegistry.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"
#include "support/RecordingRegistry.h"
#include "support/TempDir.h"

std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry();
std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry() {
  return dornava::SqliteRegistry::Open(":memory:", nullptr);
}

namespace dornava {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

Lines Load(RawRegistry& raw) {
  Registr registr(raw);
  test::VectorList list;
  LoadSchedule(registr, list);
  return list.items;
}
void Rewrite(RawRegistry& raw, const Lines& lines) {
  Registr registr(raw);
  RewriteSchedule(registr, test::VectorList(lines));
}
std::string Slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SqliteFileTest : public ::testing::Test {
 protected:
  std::vector<std::string> Aside() const {  // the files moved aside, without their journals
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(fs::path(path_).parent_path()))
      if (const std::string name = entry.path(); name.find(".unreadable-") != std::string::npos &&
                                                 !name.ends_with("-wal") && !name.ends_with("-shm"))
        found.push_back(name);
    return found;
  }

  test::TempDir dir_;
  std::string path_ = dir_ / "config/dornava/registry.db";
};

// Row: a file at the registry's place that is not ours. It is moved aside untouched, with a notice;
// a fresh registry takes its place, private even under a permissive umask, and keeps its writes.
TEST_F(SqliteFileTest, AFileThatIsNotARegistryIsMovedAsideAndAPrivateOneMade) {
  const std::function<void(const std::string&)> rows[] = {
      [](const std::string& path) {
        std::ofstream(path) << "not a database" << std::string(5000, 'x');
      },
      [](const std::string& path) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE notes(t); INSERT INTO notes VALUES('keep me');", nullptr,
                     nullptr, nullptr);
        sqlite3_close(db);
      }};
  const mode_t old = ::umask(0);
  for (const auto& make : rows) {
    fs::remove_all(fs::path(path_).parent_path());
    fs::create_directories(fs::path(path_).parent_path());
    make(path_);
    const std::string before = Slurp(path_);
    std::string notice;
    auto raw = SqliteRegistry::Open(path_, &notice);
    ASSERT_NE(raw, nullptr) << "the program must still start";
    const auto aside = Aside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(Slurp(aside[0]), before);
    EXPECT_NE(notice.find(aside[0]), std::string::npos) << notice;
    Rewrite(*raw, {"R 00:01 - moře"});
    EXPECT_EQ(fs::status(fs::path(path_).parent_path()).permissions(), fs::perms::owner_all);
    for (const char* suffix : {"", "-wal", "-shm"})
      EXPECT_EQ(fs::status(path_ + suffix).permissions(),
                fs::perms::owner_read | fs::perms::owner_write)
          << suffix;
    raw.reset();
    EXPECT_EQ(Load(*SqliteRegistry::Open(path_, &notice)), Lines{"R 00:01 - moře"});
    EXPECT_EQ(notice, "");
  }
  ::umask(old);
}

// A batch that could not take the write lock writes nothing, even once the lock has gone; a link
// at the registry's place is refused with a notice, it and its target left as they were.
TEST_F(SqliteFileTest, ALockLessBatchOrALinkChangesNothing) {
  fs::create_directories(fs::path(path_).parent_path());
  auto open = SqliteRegistry::Open(path_, nullptr);
  Rewrite(*open, {"S 07:30 - sea"});
  const auto hold = [this](const char* sql) {
    sqlite3* holder = nullptr;
    sqlite3_open(path_.c_str(), &holder);
    sqlite3_exec(holder, sql, nullptr, nullptr, nullptr);
    return holder;
  };
  RegKey key = 0;
  ASSERT_EQ(open->OpenKeyEx(kHkeyCurrentUser, "Software\\Brenlow\\Dornava", 0, 0xF003F, &key), 0);
  sqlite3* writer = hold("BEGIN IMMEDIATE");
  open->BeginBatch(true);
  sqlite3_close(writer);
  EXPECT_NE(open->SetValueEx(key, "000", 0, kRegSz, reinterpret_cast<const std::uint8_t*>("x"), 1),
            0);
  open->EndBatch();
  EXPECT_FALSE(open->LastBatchKept());
  open.reset();

  const std::string target = dir_.Write("elsewhere.db", Slurp(path_));
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
  fs::remove(path_);
  fs::create_symlink(target, path_);
  std::string notice;
  EXPECT_EQ(SqliteRegistry::Open(path_, &notice), nullptr);
  EXPECT_NE(notice.find("symbolic link"), std::string::npos) << notice;
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
  EXPECT_TRUE(Aside().empty());
}

// Names fold by their letters, not just ASCII, and keep their first spelling; a tree goes
// exactly, not a key whose name merely starts the same.
TEST_F(SqliteFileTest, NamesKeepTheirCaseAndTreesDeleteExactly) {
  auto raw = SqliteRegistry::Open(":memory:", nullptr);
  Registr registr(*raw);
  for (const char* key :
       {"Software\\Tree\\Leaf", "Software\\Tree2", "Software\\Tree]x", "Software\\Úžasný"}) {
    registr.MakeRegKey(kHkeyCurrentUser, key);
    registr.WriteRegValue(kHkeyCurrentUser, key, "Jméno", RegValue("v"), kRegSz);
  }
  registr.WriteRegValue(kHkeyCurrentUser, "SOFTWARE\\ÚŽASNÝ\\", "JMÉNO", RegValue("w"), kRegSz);
  RegKey key = 0;
  EXPECT_EQ(raw->OpenKeyEx(kHkeyCurrentUser, "Software\\\\Tree", 0, kKeyAccess, &key),
            kErrorBadPathname);
  ASSERT_EQ(raw->OpenKeyEx(kHkeyCurrentUser, "software\\úžasný", 0, kKeyAccess, &key),
            kErrorSuccess);
  std::vector<RegValueRecord> values;
  ASSERT_EQ(raw->EnumValues(key, &values), kErrorSuccess);
  EXPECT_EQ(values, (std::vector<RegValueRecord>{{"Jméno", kRegSz, "w"}}));
  RegKey root = 0;
  std::string path;
  ASSERT_EQ(raw->KeyPath(key, &root, &path), kErrorSuccess);
  EXPECT_EQ(path, "Software\\Úžasný");

  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, "software\\tree"), kErrorSuccess);
  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, "Software\\Tree"), kErrorFileNotFound);
  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, ""), kErrorAccessDenied);
  Lines names;
  ASSERT_EQ(raw->OpenKeyEx(kHkeyCurrentUser, "Software", 0, kKeyAccess, &key), kErrorSuccess);
  ASSERT_EQ(raw->EnumSubKeys(key, &names), kErrorSuccess);
  EXPECT_EQ(names, (Lines{"Tree2", "Tree]x", "Úžasný"}));
  EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, "Software\\Tree\\Leaf", "Jméno").IsEmpty());
}

TEST_F(SqliteFileTest, ABatchSeesItsOwnWritesAndAnAbandonedOneLeavesNothing) {
  auto raw = SqliteRegistry::Open(path_, nullptr);
  Registr registr(*raw);
  const auto read = [&](const char* key) {
    return registr.ReadRegValue(kHkeyCurrentUser, key, "v");
  };
  const auto write = [&](const char* key, const char* text) {
    registr.MakeRegKey(kHkeyCurrentUser, key);
    registr.WriteRegValue(kHkeyCurrentUser, key, "v", RegValue(text), kRegSz);
  };
  write("Software\\X", "before");
  {
    RegBatch batch(*raw, true);
    EXPECT_EQ(read("Software\\X"), RegValue("before"));
    write("Software\\X", "after");
    EXPECT_EQ(read("Software\\X"), RegValue("after"));
    registr.DelRegValue(kHkeyCurrentUser, "Software\\X", "v");
    EXPECT_TRUE(read("Software\\X").IsEmpty());
    write("Software\\X\\New", "new");
    EXPECT_EQ(read("Software\\X\\New"), RegValue("new"));
  }
  EXPECT_TRUE(raw->LastBatchKept());
  // Another connection sees the batch once it is over.
  EXPECT_EQ(Registr(*SqliteRegistry::Open(path_, nullptr))
                .ReadRegValue(kHkeyCurrentUser, "Software\\X\\New", "v"),
            RegValue("new"));
  {
    RegBatch batch(*raw, true);
    write("Software\\X", "undone");
    EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, "Software\\X\\New"), kErrorSuccess);
    raw->AbandonBatch();
  }
  EXPECT_FALSE(raw->LastBatchKept());
  EXPECT_TRUE(read("Software\\X").IsEmpty());
  EXPECT_EQ(read("Software\\X\\New"), RegValue("new"));
}

TEST(FoldCase, FoldsTheLettersOfEuropeanNames) {
  const std::pair<std::string, std::string> rows[] = {
      {"příliš žluťoučký kůň úpěl ďábelské ódy", "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY"},
      {"łódź ÿ αβγ привет ё", "ŁÓDŹ Ÿ ΑΒΓ ПРИВЕТ Ё"},
      {"[_]`ß÷", "[_]`ß÷"},
      {"a\xC3(\xE2\x82z\xFF", "A\xC3(\xE2\x82Z\xFF"},  // invalid bytes pass through
  };
  for (const auto& [text, folded] : rows)
    EXPECT_EQ(FoldCase(text), folded);
}

TEST(DefaultRegistryPath, FollowsAnAbsoluteXdgConfigHome) {
  test::ScopedEnv config("XDG_CONFIG_HOME", "/srv/eva/cfg");
  EXPECT_EQ(DefaultRegistryPath(), "/srv/eva/cfg/dornava/registry.db");
  test::ScopedEnv relative("XDG_CONFIG_HOME", "relative/cfg");
  EXPECT_EQ(DefaultRegistryPath(), std::string(getenv("HOME")) + "/.config/dornava/registry.db");
}

// Two processes rewrite the whole schedule at once, each with a list of its own length. A write
// batch holds the write lock from its first statement, so no rewrite fails half-way on a busy
// peer; a reader meanwhile only ever sees one writer's whole list.
TEST_F(SqliteFileTest, TwoWritersAtOnceNeverMix) {
  ASSERT_NE(SqliteRegistry::Open(path_, nullptr), nullptr);
  const Lines lists[2] = {{"S 00:00 - first a", "S 00:01 - first b"},
                          {"R 00:02 - second a", "R 00:03 - second b", "R 00:04 - second c"}};
  std::vector<pid_t> children;
  for (const Lines& list : lists) {
    children.push_back(::fork());
    if (children.back() != 0) continue;
    auto raw = SqliteRegistry::Open(path_, nullptr);
    for (int i = 0; raw && i < 20; ++i) {
      Rewrite(*raw, list);
      if (!raw->LastBatchKept()) ::_exit(3);
    }
    ::_exit(raw ? 0 : 2);
  }
  auto raw = SqliteRegistry::Open(path_, nullptr);
  for (int running = 2; running > 0;) {
    const Lines seen = Load(*raw);
    EXPECT_TRUE(seen.empty() || seen == lists[0] || seen == lists[1]) << seen.size();
    for (pid_t& pid : children) {
      int status = 0;
      if (pid == 0 || ::waitpid(pid, &status, WNOHANG) != pid) continue;
      EXPECT_EQ(status, 0) << "a rewrite was not kept";
      pid = 0;
      --running;
    }
  }
  const Lines final = Load(*raw);
  EXPECT_TRUE(final == lists[0] || final == lists[1]) << ::testing::PrintToString(final);
}

// A delete is one transaction: a child killed after its n-th change, for every n it reaches,
// leaves the schedule exactly as it was.
TEST_F(SqliteFileTest, AKilledDeleteLeavesTheWholeScheduleBehind) {
  const Lines stored = {"S 01:00 - a", "S 02:00 - b", "R 00:03 - c"};
  Rewrite(*SqliteRegistry::Open(path_, nullptr), stored);
  int dieAt = 1, status = 0;
  for (;; ++dieAt) {
    if (const pid_t pid = ::fork(); pid != 0) {
      ::waitpid(pid, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 9) break;
      ASSERT_EQ(Load(*SqliteRegistry::Open(path_, nullptr)), stored)
          << "killed at change " << dieAt;
      continue;
    }
    auto raw = SqliteRegistry::Open(path_, nullptr);
    test::RecordingRegistry recorder(*raw);
    int changes = 0;
    recorder.afterCall = [&](long, std::int32_t rc) {
      const std::string kind = recorder.calls.back().substr(0, 3);
      if (rc == kErrorSuccess && (kind == "Set" || kind == "Cre" || kind == "Del") &&
          ++changes == dieAt)
        ::_exit(9);
    };
    Registr registr(recorder);
    test::VectorList list(stored);
    list.selected = 1;
    DeleteSelectedEntry(registr, list);
    ::_exit(0);
  }
  EXPECT_EQ(status, 0);
  EXPECT_GE(dieAt, 5) << "the delete changed too little to be tested";
  EXPECT_EQ(Load(*SqliteRegistry::Open(path_, nullptr)), (Lines{"S 01:00 - a", "R 00:03 - c"}));
}

}  // namespace
}  // namespace dornava
