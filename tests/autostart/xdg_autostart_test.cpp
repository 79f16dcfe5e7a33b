// The Linux Run value and its XDG autostart entry: written, removed and read together, through
// the start-up logic's Autostart box, with the desktop's own switches and with failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/SqliteRegistry.h"
#include "platform/linux/XdgAutostart.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"
#include "switching/StartUp.h"

namespace dornava {
namespace {

namespace fs = std::filesystem;

// A strict reader of the Desktop Entry format, written from its rules rather than from the
// writer: anything the rules do not allow is an error (nullopt), so a sloppy entry fails here.
namespace entry {

// The main group's keys with their raw values, or nullopt when the file is not well formed.
std::optional<std::map<std::string, std::string>> MainGroup(const std::string& text) {
  std::map<std::string, std::string> keys;
  std::string group;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) return std::nullopt;  // every line ends
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return std::nullopt;
      if (group.empty() && line != "[Desktop Entry]") return std::nullopt;
      group = line;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (group.empty() || equals == std::string::npos || equals == 0) return std::nullopt;
    if (group != "[Desktop Entry]") continue;
    if (!keys.emplace(line.substr(0, equals), line.substr(equals + 1)).second) {
      return std::nullopt;  // a key twice in one group
    }
  }
  return keys;
}

// The string-value escapes: \s \n \t \r \\; any other backslash is an error.
std::optional<std::string> UnescapeString(const std::string& raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      out += raw[i];
      continue;
    }
    if (++i == raw.size()) return std::nullopt;
    switch (raw[i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

// The Exec quoting rules on an unescaped value: arguments separated by one space, each either
// plain (no reserved character) or quoted whole, with only " ` $ \ escaped inside. Then the
// field codes: only %% is expected, and it stands for %.
std::optional<std::vector<std::string>> SplitExec(const std::string& exec) {
  const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
  std::vector<std::string> argv;
  std::size_t i = 0;
  while (i < exec.size()) {
    std::string argument;
    if (exec[i] == '"') {
      ++i;
      for (;;) {
        if (i == exec.size()) return std::nullopt;  // unterminated
        const char c = exec[i++];
        if (c == '"') break;
        if (c == '\\') {
          if (i == exec.size()) return std::nullopt;
          const char next = exec[i++];
          if (next != '"' && next != '`' && next != '$' && next != '\\') return std::nullopt;
          argument += next;
        } else if (c == '`' || c == '$') {
          return std::nullopt;  // must be escaped inside quotes
        } else {
          argument += c;
        }
      }
    } else {
      while (i < exec.size() && exec[i] != ' ') {
        if (reserved.find(exec[i]) != std::string::npos) return std::nullopt;
        argument += exec[i++];
      }
    }
    if (i < exec.size()) {
      if (exec[i] != ' ' || i + 1 == exec.size()) return std::nullopt;
      ++i;
    }
    std::string plain;
    for (std::size_t k = 0; k < argument.size(); ++k) {
      if (argument[k] != '%') {
        plain += argument[k];
      } else if (k + 1 < argument.size() && argument[k + 1] == '%') {
        plain += '%';
        ++k;
      } else {
        return std::nullopt;  // a field code
      }
    }
    argv.push_back(plain);
  }
  if (argv.empty()) return std::nullopt;
  return argv;
}

// The command an entry file starts, or nullopt.
std::optional<std::vector<std::string>> Command(const std::string& text) {
  const auto keys = MainGroup(text);
  if (!keys || !keys->count("Exec")) return std::nullopt;
  const auto exec = UnescapeString(keys->at("Exec"));
  if (!exec) return std::nullopt;
  return SplitExec(*exec);
}

}  // namespace entry

TEST(DesktopEntryReader, RefusesWhatTheRulesForbid) {
  // The reader the tests below rely on: it must say no to entries a desktop would misread.
  EXPECT_EQ(entry::Command("[Desktop Entry]\nExec=\"/a b/c\" A\n"),
            (std::vector<std::string>{"/a b/c", "A"}));
  EXPECT_EQ(entry::Command("[Desktop Entry]\nExec=\"/a\\\\\\\\b\\\\$c\" 100%%\n"),
            (std::vector<std::string>{"/a\\b$c", "100%"}));
  EXPECT_EQ(entry::Command("[Desktop Entry]\nExec=/a b/c A\n"),
            (std::vector<std::string>{"/a", "b/c", "A"}));
  for (const char* bad :
       {"[Desktop Entry]\nExec=/a$b A\n", "[Desktop Entry]\nExec=\"/a$b\" A\n",
        "[Desktop Entry]\nExec=\"/a\\\\b\" A\n", "[Desktop Entry]\nExec=/a 100%\n",
        "[Desktop Entry]\nExec=\"/a A\n", "[Desktop Entry]\nExec=/a\\x A\n", "[Other]\nExec=/a A\n",
        "[Desktop Entry]\nExec=/a A"}) {
    EXPECT_EQ(entry::Command(bad), std::nullopt) << bad;
  }
}

class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dornava-autostart-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    raw_ = SqliteRegistry::Open(dir_ + "/config/dornava/registry.db", nullptr);
    ASSERT_NE(raw_, nullptr);
    folder_ = dir_ + "/config/autostart";
    autostart_ = std::make_unique<XdgAutostart>(*raw_, folder_);
    environment_.folder = "/opt/dornava";
    environment_.name = "dornava";
    environment_.separator = '/';
  }
  void TearDown() override {
    // Whatever a test made read-only must go too.
    std::error_code ignored;
    for (const auto& item : fs::recursive_directory_iterator(dir_, ignored)) {
      if (item.is_directory(ignored)) fs::permissions(item.path(), fs::perms::owner_all, ignored);
    }
    fs::remove_all(dir_, ignored);
  }

  std::string EntryFile() const { return folder_ + "/dornava.desktop"; }
  static std::optional<std::string> Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Spit(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  // The Run value as stored, bypassing the autostart mapping; nullopt when there is none.
  std::optional<std::string> StoredRun(const char* name = "Dornava") {
    RegKey key = 0;
    if (raw_->OpenKeyEx(kHkeyCurrentUser, std::string(kRunKey).c_str(), 0, kKeyQueryValue, &key) !=
        kErrorSuccess) {
      return std::nullopt;
    }
    std::uint8_t data[4096];
    std::uint32_t size = sizeof data;
    std::uint32_t type = 0;
    const std::int32_t status = raw_->QueryValueEx(key, name, nullptr, &type, data, &size);
    raw_->CloseKey(key);
    if (status != kErrorSuccess) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(data), size);
  }
  // The files in the autostart folder, by name.
  std::vector<std::string> FolderListing() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& item : fs::directory_iterator(folder_, ignored))
      names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The main window as it comes up: a fresh box, the Load handler run over the schedule.
  int LoadedCheck1() {
    test::RecordingHost host;
    Registr registr(*autostart_);
    StartUp startUp(host, registr, environment_, clock_, clock_, wallpaper_);
    startUp.Load();
    return host.check1;
  }
  // The user clicks the Autostart box of the main window to `value`.
  void Click(int value) {
    host_.check1 = value;
    Registr registr(*autostart_);
    StartUp(host_, registr, environment_, clock_, clock_, wallpaper_).Check1Click();
  }
  // The Run key opened through the mapping, with the given access.
  RegKey OpenRun(std::uint32_t access = kKeyAccess) {
    RegKey key = 0;
    EXPECT_EQ(
        autostart_->OpenKeyEx(kHkeyCurrentUser, std::string(kRunKey).c_str(), 0, access, &key),
        kErrorSuccess);
    return key;
  }
  std::int32_t SetText(RegKey key, const char* name, const std::string& text,
                       std::uint32_t type = kRegSz) {
    return autostart_->SetValueEx(key, name, 0, type,
                                  reinterpret_cast<const std::uint8_t*>(text.data()),
                                  static_cast<std::uint32_t>(text.size()));
  }
  // A folder where the autostart folder cannot be written to, unless we are root.
  bool MakeFolderReadOnly() {
    fs::create_directories(folder_);
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    return ::access(folder_.c_str(), W_OK) != 0;
  }

  std::string dir_;
  std::string folder_;
  std::unique_ptr<SqliteRegistry> raw_;
  std::unique_ptr<XdgAutostart> autostart_;
  test::RecordingHost host_;
  test::FakeEnvironment environment_;
  test::FakeClock clock_;
  test::RecordingWallpaper wallpaper_;
};

TEST_F(AutostartTest, TheBoxWritesAndRemovesTheValueAndTheEntryTogether) {
  EXPECT_FALSE(fs::exists(folder_)) << "nothing is written before the box is checked";
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "checked" : "checked again");
    Click(1);
    EXPECT_EQ(StoredRun(), "/opt/dornava/dornava A");
    const auto text = Slurp(EntryFile());
    ASSERT_TRUE(text.has_value());
    const auto keys = entry::MainGroup(*text);
    ASSERT_TRUE(keys.has_value()) << *text;
    EXPECT_EQ(keys->at("Type"), "Application");
    EXPECT_EQ(keys->at("Name"), "Dornava");
    EXPECT_EQ(keys->at("Hidden"), "false");
    EXPECT_EQ(keys->at("X-GNOME-Autostart-enabled"), "true");
    EXPECT_EQ(entry::Command(*text), (std::vector<std::string>{"/opt/dornava/dornava", "A"}));
    EXPECT_EQ(text->rfind("# ", 0), 0u) << "a comment says who keeps the file";
    EXPECT_NE(text->substr(0, text->find('\n')).find("Dornava"), std::string::npos) << *text;
    // Nothing half-written is left beside it, and the folder made for it is private.
    EXPECT_EQ(FolderListing(), std::vector<std::string>{"dornava.desktop"});
    EXPECT_EQ(fs::status(folder_).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(LoadedCheck1(), 1);

    Click(0);
    EXPECT_EQ(StoredRun(), std::nullopt);
    EXPECT_FALSE(fs::exists(EntryFile()));
    EXPECT_EQ(LoadedCheck1(), 0);
  }
  // Unchecking what is not there is harmless.
  Click(0);
  EXPECT_EQ(StoredRun(), std::nullopt);
  EXPECT_TRUE(FolderListing().empty());
}

TEST_F(AutostartTest, AnAwkwardFolderComesBackAsTheSameProgram) {
  const std::vector<std::string> folders = {
      "/home/eva/my apps",
      "/home/eva/it's \"quoted\" here",
      "/srv/no-blank\"double'single",
      "/srv/back\\slash and \\\\ two",
      "/srv/trailing\\",
      "/srv/$HOME and `id` $(id)",
      "/srv/100% sure %u %f %%",
      "/srv/Čeština ěščřžýáíé ÄÖÜß Ωμέγα Юникод 日本",
      "/srv/;&|<>*?#()~= all",
      "/srv/tab\there",
      "/srv/new\nline",
      "/srv/ leading  and  double  blanks ",
      "/srv/\" \\\" \\\\\" `$%\\",
  };
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    environment_.folder = folder;
    Click(1);
    EXPECT_EQ(StoredRun(), RunValueData(environment_));
    const auto text = Slurp(EntryFile());
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(entry::Command(*text), (std::vector<std::string>{folder + "/dornava", "A"})) << *text;
    EXPECT_EQ(LoadedCheck1(), 1);
    Click(0);
    EXPECT_FALSE(fs::exists(EntryFile()));
  }
}

TEST_F(AutostartTest, TurnedOffInTheDesktopTheValueReadsAsAbsent) {
  struct Change {
    const char* what;
    std::function<std::string(std::string)> edit;  // an empty result deletes the file
    bool off;
  };
  const auto replace = [](std::string from, std::string to) {
    return [from, to](std::string text) {
      const std::size_t at = text.find(from);
      EXPECT_NE(at, std::string::npos) << from;
      if (at != std::string::npos) text.replace(at, from.size(), to);
      return text;
    };
  };
  const std::vector<Change> changes = {
      {"Hidden=true", replace("Hidden=false", "Hidden=true"), true},
      {"GNOME switch off",
       replace("X-GNOME-Autostart-enabled=true", "X-GNOME-Autostart-enabled=false"), true},
      {"Hidden appended, the last one counts", [](std::string t) { return t + "Hidden=true\n"; },
       true},
      {"file deleted", [](std::string) { return std::string(); }, true},
      {"untouched", [](std::string t) { return t; }, false},
      {"Hidden in another group",
       [](std::string t) { return t + "[Desktop Action x]\nName=x\nExec=x\nHidden=true\n"; },
       false},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    Click(1);
    const std::string edited = change.edit(*Slurp(EntryFile()));
    if (edited.empty()) {
      fs::remove(EntryFile());
    } else {
      Spit(EntryFile(), edited);
    }
    const auto before = Slurp(EntryFile());

    RegValue read = Registr(*autostart_).ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName);
    EXPECT_EQ(read.IsEmpty(), change.off);
    EXPECT_EQ(LoadedCheck1(), change.off ? 0 : 1);
    if (change.off) {
      // The Load left the user's choice alone: the entry stays as they made it, the stored
      // value as it was.
      EXPECT_EQ(Slurp(EntryFile()), before);
      EXPECT_EQ(StoredRun(), "/opt/dornava/dornava A");
      // Checking the box again turns autostart back on.
      Click(1);
      EXPECT_EQ(LoadedCheck1(), 1);
    }
    Click(0);
  }
}

TEST_F(AutostartTest, AnEntryThatCannotBeWrittenLeavesTheRegistryAlone) {
  // Registered once, from an older place.
  environment_.folder = "/old/place";
  Click(1);
  ASSERT_EQ(StoredRun(), "/old/place/dornava A");
  const auto oldEntry = Slurp(EntryFile());
  environment_.folder = "/new/place";

  for (const char* folder : {"/srv/not \xC3 UTF-8", "/srv/bell\a"}) {
    SCOPED_TRACE("a path no desktop entry can carry");
    environment_.folder = folder;
    Click(1);
    EXPECT_EQ(StoredRun(), "/old/place/dornava A");
    EXPECT_EQ(Slurp(EntryFile()), oldEntry);
  }
  environment_.folder = "/new/place";
  {
    SCOPED_TRACE("the entry's name is taken by a folder");
    fs::remove(EntryFile());
    fs::create_directories(EntryFile() + "/inside");
    const RegKey key = OpenRun();
    EXPECT_NE(SetText(key, "Dornava", "/new/place/dornava A"), kErrorSuccess);
    EXPECT_NE(autostart_->DeleteValue(key, "Dornava"), kErrorSuccess);
    autostart_->CloseKey(key);
    Click(1);
    Click(0);
    EXPECT_EQ(StoredRun(), "/old/place/dornava A");
    EXPECT_EQ(FolderListing(), std::vector<std::string>{"dornava.desktop"});
    fs::remove_all(EntryFile());
    Spit(EntryFile(), *oldEntry);
  }
  if (MakeFolderReadOnly()) {
    SCOPED_TRACE("a read-only autostart folder");
    Click(1);
    EXPECT_EQ(StoredRun(), "/old/place/dornava A");
    EXPECT_EQ(Slurp(EntryFile()), oldEntry);
    Click(0);
    EXPECT_EQ(StoredRun(), "/old/place/dornava A");
    EXPECT_EQ(Slurp(EntryFile()), oldEntry);
    fs::permissions(folder_, fs::perms::owner_all);
  } else {
    std::printf("note: running as root, a read-only folder cannot be tested\n");
    fs::permissions(folder_, fs::perms::owner_all);
  }
  {
    SCOPED_TRACE("a file where the folder should be");
    fs::remove_all(folder_);
    Spit(folder_, "not a folder");
    Click(1);
    EXPECT_EQ(StoredRun(), "/old/place/dornava A");
    EXPECT_EQ(Slurp(folder_), "not a folder");
    // Removing an entry that cannot exist there succeeds, and so does the delete.
    Click(0);
    EXPECT_EQ(StoredRun(), std::nullopt);
    Click(1);
    EXPECT_EQ(StoredRun(), std::nullopt);
  }
}

TEST_F(AutostartTest, ARefusedRegistryChangePutsTheEntryBack) {
  const RegKey readOnly = OpenRun(kKeyQueryValue);
  EXPECT_EQ(SetText(readOnly, "Dornava", "/opt/dornava/dornava A"), kErrorAccessDenied);
  EXPECT_FALSE(fs::exists(EntryFile()));

  Click(1);
  const auto entry = Slurp(EntryFile());
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(SetText(readOnly, "Dornava", "/elsewhere/dornava A"), kErrorAccessDenied);
  EXPECT_EQ(Slurp(EntryFile()), entry);
  EXPECT_EQ(autostart_->DeleteValue(readOnly, "Dornava"), kErrorAccessDenied);
  EXPECT_EQ(Slurp(EntryFile()), entry);
  EXPECT_EQ(StoredRun(), "/opt/dornava/dornava A");
  autostart_->CloseKey(readOnly);
}

TEST_F(AutostartTest, OnlyTheRunKeyOfTheCurrentUserIsMapped) {
  Registr registr(*autostart_);
  const std::string lookalike = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Dornava";
  registr.MakeRegKey(kHkeyLocalMachine, kRunKey);
  registr.MakeRegKey(kHkeyCurrentUser, lookalike);
  registr.MakeRegKey(kHkeyCurrentUser, kScheduleKey);
  for (const auto& [root, path] :
       std::vector<std::pair<RegKey, std::string>>{{kHkeyLocalMachine, std::string(kRunKey)},
                                                   {kHkeyCurrentUser, lookalike},
                                                   {kHkeyCurrentUser, std::string(kScheduleKey)}}) {
    SCOPED_TRACE(path);
    registr.WriteRegValue(root, path, "Dornava", RegValue("/x/dornava A"), kRegSz);
    EXPECT_EQ(registr.ReadRegValue(root, path, "Dornava"), RegValue("/x/dornava A"));
    EXPECT_FALSE(fs::exists(folder_));
  }
  // The schedule itself goes through untouched, batches included.
  RewriteSchedule(registr, test::VectorList{"S 07:30 - /a.bmp", "R 00:05 - /b b.bmp"});
  test::VectorList list;
  EXPECT_TRUE(LoadSchedule(registr, list));
  EXPECT_EQ(list.items, (std::vector<std::string>{"S 07:30 - /a.bmp", "R 00:05 - /b b.bmp"}));
  registr.DelRegValue(kHkeyLocalMachine, kRunKey, "Dornava");
  EXPECT_TRUE(registr.ReadRegValue(kHkeyLocalMachine, kRunKey, "Dornava").IsEmpty());
  EXPECT_FALSE(fs::exists(folder_));
}

TEST_F(AutostartTest, EveryValueUnderTheRunKeyHasItsOwnSafeEntry) {
  // Any spelling of the key's path, any value name; names map to one file whatever their case.
  RegKey key = 0;
  ASSERT_EQ(
      autostart_->OpenKeyEx(kHkeyCurrentUser, "software\\MICROSOFT\\windows\\CurrentVersion\\rUN",
                            0, kKeyAccess, &key),
      kErrorSuccess);
  EXPECT_EQ(SetText(key, "Other App", "\"/usr/lib/other app/run\" --quiet   -x", kRegExpandSz),
            kErrorSuccess);
  EXPECT_EQ(SetText(key, "../../Sneaky", "/bin/true"), kErrorSuccess);
  EXPECT_EQ(SetText(key, ".hidden", "/bin/true"), kErrorSuccess);
  EXPECT_EQ(SetText(key, "ČEŠTINA", "/bin/true"), kErrorSuccess);
  EXPECT_EQ(FolderListing(), (std::vector<std::string>{"_.._.._sneaky.desktop", "_.hidden.desktop",
                                                       "other app.desktop", "čeština.desktop"}));
  EXPECT_EQ(entry::Command(*Slurp(folder_ + "/other app.desktop")),
            (std::vector<std::string>{"/usr/lib/other app/run", "--quiet", "-x"}));
  EXPECT_EQ(entry::MainGroup(*Slurp(folder_ + "/_.._.._sneaky.desktop"))->at("Name"),
            "../../Sneaky");
  EXPECT_EQ(entry::MainGroup(*Slurp(folder_ + "/other app.desktop"))->at("Name"), "Other App");
  EXPECT_FALSE(fs::exists(dir_ + "/sneaky.desktop"));
  EXPECT_FALSE(fs::exists(dir_ + "/config/sneaky.desktop"));

  // Another spelling of a name reaches the same value and the same entry.
  EXPECT_EQ(autostart_->DeleteValue(key, "čeština"), kErrorSuccess);
  EXPECT_FALSE(fs::exists(folder_ + "/čeština.desktop"));
  // A value the system would not start has no entry.
  const std::uint8_t number[4] = {1, 0, 0, 0};
  EXPECT_EQ(autostart_->SetValueEx(key, "OTHER APP", 0, kRegDword, number, 4), kErrorSuccess);
  EXPECT_FALSE(fs::exists(folder_ + "/other app.desktop"));
  EXPECT_EQ(SetText(key, "../../Sneaky", "   "), kErrorSuccess);
  EXPECT_EQ(FolderListing(), std::vector<std::string>{"_.hidden.desktop"});
  autostart_->CloseKey(key);
}

TEST_F(AutostartTest, ARunKeyStoredInAnotherCaseIsStillTheRunKey) {
  // As a .reg file imported before the first start may have spelt it.
  auto registry = SqliteRegistry::Open(dir_ + "/other.db", nullptr);
  ASSERT_NE(registry, nullptr);
  RegKey key = 0;
  ASSERT_EQ(
      registry->CreateKeyEx(kHkeyCurrentUser, "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN",
                            0, nullptr, 0, kKeyAccess, nullptr, &key, nullptr),
      kErrorSuccess);
  registry->CloseKey(key);
  XdgAutostart autostart(*registry, folder_);
  Registr registr(autostart);
  registr.WriteRegValue(kHkeyCurrentUser, kRunKey, kRunValueName,
                        RegValue("/opt/dornava/dornava A"), kRegSz);
  EXPECT_EQ(FolderListing(), std::vector<std::string>{"dornava.desktop"});
  fs::remove(EntryFile());
  EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName).IsEmpty());
}

TEST(RunCommand, SplitsTheWayTheRunValueIsBuilt) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitRunCommand("/opt/dornava/dornava A"), (V{"/opt/dornava/dornava", "A"}));
  EXPECT_EQ(SplitRunCommand("\"/home/eva/my apps/dornava\" A"),
            (V{"/home/eva/my apps/dornava", "A"}));
  // The path runs to the last quote, so quotes inside it stay.
  EXPECT_EQ(SplitRunCommand("\"/a \"b\" c/dornava\" A"), (V{"/a \"b\" c/dornava", "A"}));
  EXPECT_EQ(SplitRunCommand("  /a\t x  y "), (V{"/a", "x", "y"}));
  EXPECT_EQ(SplitRunCommand("\"/unterminated A"), (V{"/unterminated A"}));
  EXPECT_EQ(SplitRunCommand(""), V{});
  EXPECT_EQ(SplitRunCommand(" \t "), V{});
  EXPECT_EQ(SplitRunCommand("\"\" A"), V{});
}

TEST(AutostartFolder, FollowsXdgConfigHome) {
  const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = savedConfig ? savedConfig : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("XDG_CONFIG_HOME", "/srv/eva/cfg", 1);
  EXPECT_EQ(DefaultAutostartFolder(), "/srv/eva/cfg/autostart");
  ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
  EXPECT_EQ(DefaultAutostartFolder(), home + "/.config/autostart");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultAutostartFolder(), home + "/.config/autostart");
  if (savedConfig) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

TEST(LinuxRegistry, KeepsTheProcessRegistryInStepWithTheUsersAutostartFolder) {
  char pattern[] = "/tmp/dornava-config-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string config = pattern;
  const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = savedConfig ? savedConfig : "";
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);

  // The application's path: the Run key is there from the start, so the plain write lands.
  Registr registr(LinuxRegistry());
  registr.WriteRegValue(kHkeyCurrentUser, kRunKey, kRunValueName, RegValue("/usr/bin/dornava A"),
                        kRegSz);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName),
            RegValue("/usr/bin/dornava A"));
  EXPECT_TRUE(fs::exists(config + "/dornava/registry.db"));
  std::ifstream in(config + "/autostart/dornava.desktop");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(entry::Command(text), (std::vector<std::string>{"/usr/bin/dornava", "A"}));
  registr.DelRegValue(kHkeyCurrentUser, kRunKey, kRunValueName);
  EXPECT_FALSE(fs::exists(config + "/autostart/dornava.desktop"));

  if (savedConfig) {
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
  fs::remove_all(config);
}

}  // namespace
}  // namespace dornava
