// The SQLite registry as a file on disk: where it lives, who may read it, what happens to a
// damaged file, several processes at once, and a process killed in the middle of a change.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/linux/FoldCase.h"
#include "platform/linux/SqliteRegistry.h"
#include "store/ScheduleStore.h"
#include "support/RecordingRegistry.h"
#include "support/VectorList.h"

namespace dornava {
namespace {

namespace fs = std::filesystem;

class SqliteFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dornava-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = dir_ + "/config/dornava/registry.db";
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<fs::path> AsideFiles() const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(fs::path(path_).parent_path())) {
      if (entry.path().filename().string().rfind("registry.db.unreadable-", 0) == 0) {
        found.push_back(entry.path());
      }
    }
    return found;
  }
  static std::vector<std::string> Load(RawRegistry& raw) {
    Registr registr(raw);
    test::VectorList list;
    LoadSchedule(registr, list);
    return list.items;
  }

  std::string dir_;
  std::string path_;
};

TEST_F(SqliteFileTest, FolderAndFileArePrivateAndDataPersists) {
  const mode_t old = ::umask(0);
  {
    auto raw = SqliteRegistry::Open(path_, nullptr);
    ::umask(old);
    ASSERT_NE(raw, nullptr);
    Registr registr(*raw);
    RewriteSchedule(registr, test::VectorList{"S 07:30 - /home/eva/moře.bmp"});
  }
  ::umask(old);
  EXPECT_EQ(fs::status(fs::path(path_).parent_path()).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(path_).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  for (const char* suffix : {"-wal", "-shm"}) {
    if (fs::exists(path_ + suffix)) {
      EXPECT_EQ(fs::status(path_ + suffix).permissions(),
                fs::perms::owner_read | fs::perms::owner_write)
          << suffix;
    }
  }
  std::string notice = "unset";
  auto again = SqliteRegistry::Open(path_, &notice);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(notice, "");
  EXPECT_EQ(Load(*again), std::vector<std::string>{"S 07:30 - /home/eva/moře.bmp"});
  EXPECT_TRUE(AsideFiles().empty());
}

TEST_F(SqliteFileTest, AFileThatIsNotARegistryIsMovedAsideUntouched) {
  fs::create_directories(fs::path(path_).parent_path());
  const std::string garbage = "these are not the bytes of a database\n" + std::string(5000, 'x');
  std::ofstream(path_, std::ios::binary) << garbage;

  std::string notice;
  auto raw = SqliteRegistry::Open(path_, &notice);
  ASSERT_NE(raw, nullptr) << "the program must still start";
  const auto aside = AsideFiles();
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(Slurp(aside[0]), garbage);
  EXPECT_NE(notice.find(aside[0].string()), std::string::npos) << notice;

  Registr registr(*raw);
  RewriteSchedule(registr, test::VectorList{"R 00:01 - fresh start"});
  raw.reset();
  auto reopened = SqliteRegistry::Open(path_, &notice);
  EXPECT_EQ(Load(*reopened), std::vector<std::string>{"R 00:01 - fresh start"});
  EXPECT_EQ(AsideFiles().size(), 1u);
}

TEST_F(SqliteFileTest, AnotherProgramsDatabaseIsMovedAsideToo) {
  fs::create_directories(fs::path(path_).parent_path());
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES('keep me');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const std::string before = Slurp(path_);

  auto raw = SqliteRegistry::Open(path_, nullptr);
  ASSERT_NE(raw, nullptr);
  const auto aside = AsideFiles();
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(Slurp(aside[0]), before);
  EXPECT_TRUE(Load(*raw).empty());
}

TEST_F(SqliteFileTest, NamesKeepTheirCaseAndTreesDeleteExactly) {
  auto raw = SqliteRegistry::Open(path_, nullptr);
  ASSERT_NE(raw, nullptr);
  Registr registr(*raw);
  for (const char* key : {"Software\\Tree\\Leaf\\Deep", "Software\\Tree2", "Software\\Tree]x",
                          "Software\\Treex", "Software\\Úžasný"}) {
    registr.MakeRegKey(kHkeyCurrentUser, key);
    registr.WriteRegValue(kHkeyCurrentUser, key, "Jméno", RegValue("v"), kRegSz);
  }
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, "SOFTWARE\\ÚŽASNÝ", "JMÉNO"), RegValue("v"));

  RegKey software = 0;
  ASSERT_EQ(raw->OpenKeyEx(kHkeyCurrentUser, "software", 0, kKeyAccess, &software), kErrorSuccess);
  std::vector<std::string> names;
  ASSERT_EQ(raw->EnumSubKeys(software, &names), kErrorSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"Tree", "Tree2", "Treex", "Tree]x", "Úžasný"}));
  RegKey root = 0;
  std::string path;
  ASSERT_EQ(raw->KeyPath(software, &root, &path), kErrorSuccess);
  EXPECT_EQ(path, "Software");

  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, "software\\tree"), kErrorSuccess);
  EXPECT_EQ(raw->EnumSubKeys(software, &names), kErrorSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"Tree2", "Treex", "Tree]x", "Úžasný"}));
  EXPECT_TRUE(
      registr.ReadRegValue(kHkeyCurrentUser, "Software\\Tree\\Leaf\\Deep", "Jméno").IsEmpty());
  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, ""), kErrorAccessDenied);
  EXPECT_EQ(raw->DeleteKeyTree(kHkeyCurrentUser, "Software\\Tree"), kErrorFileNotFound);

  RegKey key = 0;
  ASSERT_EQ(raw->OpenKeyEx(software, "Treex", 0, kKeyAccess, &key), kErrorSuccess);
  std::vector<RegValueRecord> values;
  ASSERT_EQ(raw->EnumValues(key, &values), kErrorSuccess);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].name, "Jméno");
  // Rewriting under another case keeps the name's first spelling.
  registr.WriteRegValue(kHkeyCurrentUser, "Software\\Treex", "JMÉNO", RegValue("w"), kRegSz);
  ASSERT_EQ(raw->EnumValues(key, &values), kErrorSuccess);
  EXPECT_EQ(values[0].name, "Jméno");
  EXPECT_EQ(values[0].data, "w");
  raw->CloseKey(key);
  raw->CloseKey(software);
}

TEST_F(SqliteFileTest, AKeyOpenedForReadingRefusesWrites) {
  auto raw = SqliteRegistry::Open(path_, nullptr);
  Registr(*raw).MakeRegKey(kHkeyCurrentUser, "Software\\X");
  RegKey key = 0;
  ASSERT_EQ(raw->OpenKeyEx(kHkeyCurrentUser, "Software\\X", 0, kKeyQueryValue, &key),
            kErrorSuccess);
  const std::uint8_t byte = 'x';
  EXPECT_EQ(raw->SetValueEx(key, "v", 0, kRegSz, &byte, 1), kErrorAccessDenied);
  EXPECT_EQ(raw->DeleteValue(key, "v"), kErrorAccessDenied);
  raw->CloseKey(key);
}

TEST_F(SqliteFileTest, ReadsInsideATransactionSeeItsOwnWrites) {
  auto raw = SqliteRegistry::Open(path_, nullptr);
  Registr registr(*raw);
  registr.MakeRegKey(kHkeyCurrentUser, "Software\\X");
  registr.WriteRegValue(kHkeyCurrentUser, "Software\\X", "v", RegValue("before"), kRegSz);
  {
    RegBatch batch(*raw, true);
    EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, "Software\\X", "v"), RegValue("before"));
    registr.WriteRegValue(kHkeyCurrentUser, "Software\\X", "v", RegValue("after"), kRegSz);
    EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, "Software\\X", "v"), RegValue("after"));
    registr.DelRegValue(kHkeyCurrentUser, "Software\\X", "v");
    EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, "Software\\X", "v").IsEmpty());
    registr.MakeRegKey(kHkeyCurrentUser, "Software\\X\\New");
    registr.WriteRegValue(kHkeyCurrentUser, "Software\\X\\New", "n", RegValue("x"), kRegSz);
    EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, "Software\\X\\New", "n"), RegValue("x"));
  }
  // And another connection sees the batch once it is over.
  auto other = SqliteRegistry::Open(path_, nullptr);
  EXPECT_EQ(Registr(*other).ReadRegValue(kHkeyCurrentUser, "Software\\X\\New", "n"), RegValue("x"));
}

TEST(FoldCase, FoldsTheLettersOfEuropeanNames) {
  EXPECT_EQ(FoldCase("software\\brenlow"), "SOFTWARE\\BRENLOW");
  EXPECT_EQ(FoldCase("příliš žluťoučký kůň úpěl ďábelské ódy"),
            "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY");
  EXPECT_EQ(FoldCase("łódź ÿ"), "ŁÓDŹ Ÿ");
  EXPECT_EQ(FoldCase("αβγ привет ё"), "ΑΒΓ ПРИВЕТ Ё");
  EXPECT_EQ(FoldCase("[_]`"), "[_]`");
  EXPECT_EQ(FoldCase("ß÷"), "ß÷");
  const std::string invalid = "a\xC3(\xE2\x82z\xFF";
  EXPECT_EQ(FoldCase(invalid), "A\xC3(\xE2\x82Z\xFF");
}

TEST(DefaultRegistryPath, FollowsXdgConfigHome) {
  const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = savedConfig ? savedConfig : "";
  ::setenv("XDG_CONFIG_HOME", "/srv/eva/cfg", 1);
  EXPECT_EQ(DefaultRegistryPath(), "/srv/eva/cfg/dornava/registry.db");
  ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
  EXPECT_EQ(DefaultRegistryPath(),
            std::string(std::getenv("HOME")) + "/.config/dornava/registry.db");
  if (savedConfig) {
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

// Runs `body` in a child process and returns its exit status.
int InChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(SqliteFileTest, TwoInstancesWritingAtOnceLoseNothing) {
  ASSERT_NE(SqliteRegistry::Open(path_, nullptr), nullptr);
  constexpr int kWrites = 150;
  std::vector<pid_t> children;
  for (int writer = 0; writer < 2; ++writer) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      auto raw = SqliteRegistry::Open(path_, nullptr);
      if (!raw) ::_exit(2);
      Registr registr(*raw);
      const std::string key = "Software\\Writer" + std::to_string(writer);
      registr.MakeRegKey(kHkeyCurrentUser, key);
      for (int i = 0; i < kWrites; ++i) {
        registr.WriteRegValue(kHkeyCurrentUser, key, std::to_string(i), RegValue(i), kRegDword);
        // Whole-schedule rewrites contend for the same lock meanwhile.
        if (i % 25 == 0) RewriteSchedule(registr, test::VectorList{"S 00:00 - w" + key});
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto raw = SqliteRegistry::Open(path_, nullptr);
  Registr registr(*raw);
  for (int writer = 0; writer < 2; ++writer) {
    const std::string key = "Software\\Writer" + std::to_string(writer);
    for (int i = 0; i < kWrites; ++i) {
      ASSERT_EQ(registr.ReadRegValue(kHkeyCurrentUser, key, std::to_string(i)), RegValue(i))
          << key << " " << i;
    }
  }
}

// A process killed after any raw call of a delete leaves the schedule exactly as it was: the
// change is one transaction, and one that returned is on disk. Killing it after each call that
// changes the registry covers every point: the calls between change nothing.
TEST_F(SqliteFileTest, AKilledDeleteLeavesTheWholeScheduleBehind) {
  const std::vector<std::string> stored = {"S 01:00 - a", "S 02:00 - b", "R 00:03 - c"};
  {
    auto raw = SqliteRegistry::Open(path_, nullptr);
    Registr registr(*raw);
    RewriteSchedule(registr, test::VectorList(stored));
  }
  auto deleteSecond = [&](long killAfter) {
    return InChild([&] {
      auto raw = SqliteRegistry::Open(path_, nullptr);
      if (!raw) return 2;
      test::RecordingRegistry recorder(*raw);
      recorder.afterCall = [&](long k, std::int32_t) {
        if (k == killAfter) ::_exit(9);
      };
      Registr registr(recorder);
      test::VectorList list(stored);
      list.selected = 1;
      DeleteSelectedEntry(registr, list);
      return static_cast<int>(std::min<std::size_t>(recorder.calls.size() / 100, 100));
    });
  };
  // The calls after which the registry could change: found on a private copy of the schedule.
  std::vector<long> points;
  {
    auto copy = SqliteRegistry::Open(":memory:", nullptr);
    Registr plain(*copy);
    RewriteSchedule(plain, test::VectorList(stored));
    test::RecordingRegistry recorder(*copy);
    recorder.afterCall = [&](long k, std::int32_t status) {
      const std::string& call = recorder.calls.back();
      if (call.rfind("Set", 0) == 0 || call.rfind("Create", 0) == 0 ||
          (call.rfind("Delete", 0) == 0 && status != kErrorFileNotFound)) {
        points.push_back(k);
      }
    };
    Registr registr(recorder);
    test::VectorList list(stored);
    list.selected = 1;
    DeleteSelectedEntry(registr, list);
    points.push_back(static_cast<long>(recorder.calls.size()));
  }
  const long total = points.back();
  ASSERT_EQ(total, 3 + 2 + 3 * 1000);
  ASSERT_GE(points.size(), 6u);
  for (const long k : points) {
    ASSERT_EQ(deleteSecond(k), 9) << "the child did not reach call " << k;
    auto raw = SqliteRegistry::Open(path_, nullptr);
    ASSERT_EQ(Load(*raw), stored) << "killed after call " << k;
  }
  EXPECT_EQ(deleteSecond(-1), static_cast<int>(total / 100));
  auto raw = SqliteRegistry::Open(path_, nullptr);
  EXPECT_EQ(Load(*raw), (std::vector<std::string>{"S 01:00 - a", "R 00:03 - c"}));
}

}  // namespace
}  // namespace dornava
