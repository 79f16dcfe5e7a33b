// The commands on an in-memory SQLite registry: what they refuse, store and ask, and the import's
// all-or-nothing. Output shared with Wine's reg is compared with it by compare_with_wine.sh.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "RegCommand.h"
#include "RegFormat.h"
#include "SqliteBackend.h"
#include "platform/linux/DesktopEntry.h"
#include "support/TempDir.h"

namespace dornava::regtool {
namespace {

using namespace std::string_literals;

// The SQLite backend, refusing the failAt-th SetValue as a full disk would.
struct FailingBackend final : SqliteBackend {
  using SqliteBackend::SqliteBackend;
  std::int32_t SetValue(RegKey k, const std::string& n, std::uint32_t t,
                        const std::string& d) override {
    return ++sets == failAt ? kErrorAccessDenied : SqliteBackend::SetValue(k, n, t, d);
  }
  int failAt = 0, sets = 0;
};

const std::string kSuccess = "reg: The operation completed successfully\n";
const std::string kCancelled = "reg: The registry operation was cancelled\n";
const std::string kKey = "HKEY_CURRENT_USER\\Software\\C";

// The fixture is the console: it records what is said and answers questions as told.
class RegCommandTest : public ::testing::Test, public RegConsole {
 protected:
  void Out(std::string_view text) override { out_ += text; }
  void Err(std::string_view text) override { err_ += text; }
  Answer Ask(std::string_view question) override {
    questions_.emplace_back(question);
    return answer_;
  }
  // Runs the command whose words are separated by "|"; "@" stands for kKey.
  int Run(const std::string& line, Answer answer = Answer::kNoAnswer) {
    std::vector<std::string> args;
    for (std::size_t start = 0, end = 0; start < line.size(); start = end + 1) {
      end = std::min(line.find('|', start), line.size());
      args.push_back(line.substr(start, end - start) == "@" ? kKey
                                                            : line.substr(start, end - start));
    }
    out_ = err_ = "";
    questions_.clear();
    answer_ = answer;
    opened_ = 0;
    return RunReg(
        args, [this](bool) { return ++opened_, &backend_; }, *this);
  }
  void Ok(const std::string& line) {
    ASSERT_EQ(Run(line), 0) << line << ": " << err_;
    EXPECT_EQ(err_, "") << line;
  }
  // Everything below HKCU as query /s shows it, and the file x.reg.
  std::string Dump() {
    Run("query|HKCU|/s");
    std::stringstream file;
    file << std::ifstream(dir_ / "x.reg", std::ios::binary).rdbuf();
    return out_ + file.str();
  }
  // "type:HEX" of a value below HKCU, or "missing".
  std::string Stored(const std::string& path, const std::string& name) {
    RegKey key = 0;
    RegValueRecord entry;
    if (backend_.Open(kHkeyCurrentUser, path, &key) != kErrorSuccess) return "missing";
    const std::int32_t rc = backend_.GetValue(key, name, &entry);
    backend_.Close(key);
    return rc ? "missing" : std::to_string(entry.type) + ":" + DataText(kRegBinary, entry.data);
  }

  test::TempDir dir_;
  std::unique_ptr<SqliteRegistry> registry_ = SqliteRegistry::Open(":memory:", nullptr);
  XdgAutostart autostart_{*registry_, dir_ / "autostart"};
  FailingBackend backend_{autostart_};
  std::string out_, err_;
  std::vector<std::string> questions_;
  Answer answer_ = Answer::kNoAnswer;
  int opened_ = 0;
};

// Row: a command → its one error line (exit code 1, nothing on standard output) and whether it
// opened the registry at all; the registry and the files are never changed. The errors Wine's reg
// shares are compared with it by compare_with_wine.sh.
TEST_F(RegCommandTest, ErrorsLeaveEverythingAsItWas) {
  Ok("add|@|/v|x|/d|1");
  const std::string dir = dir_.path() + "/";
  dir_.Write("bad.reg", "REGEDIT4\n[-HKCU\\Software\\C]\n[HKCU\\N]\n\"c\"=hex:01,\\\n  03 04\n");
  dir_.Write("header.reg", "[HKCU\\New]\r\n");
  dir_.Write("good.reg",
             "REGEDIT4\n[-HKCU\\Software\\C]\n[HKCU\\Software\\New]\n\"a\"=\"1\"\n\"b\"=\"2\"\n");
  const std::string before = Dump();
  const struct {
    std::string line, err;
    bool opens = false;
  } rows[] = {
      // clang-format off
      // The registry refusing a write half-way through an import: the writes before it are undone.
      {"import|" + dir + "good.reg", "reg: Unable to import the registry key 'HKCU\\Software\\New'. Nothing was imported.\n", true},
      {"delete|HKCU|/f", "reg: Invalid registry key\n"},  // as reg.exe on Windows: it would empty the root
      {"import|a|b", "reg: Invalid syntax. Type \"REG IMPORT /?\" for help.\n"},
      {"add|HKCU\\New|/v|x|/t|REG_FOO|/d|1", "reg: Unsupported registry data type [REG_FOO]\n"},
      {"import|" + dir + "header.reg", "reg: Unable to import '" + dir + "header.reg': not a registry file: the "
          "first line must be \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\". Nothing was imported.\n"},
      // A fault late in the file: the keys and values before it are not written either.
      {"import|" + dir + "bad.reg", "reg: Unable to import '" + dir + "bad.reg', line 5: ',' expected "
          "between hex bytes. Nothing was imported.\n"},
      // clang-format on
  };
  backend_.failAt = backend_.sets + 2;
  for (const auto& row : rows) {
    EXPECT_EQ(Run(row.line), 1) << row.line;
    EXPECT_EQ(err_ + out_, row.err) << row.line;
    EXPECT_EQ(opened_ > 0, row.opens) << row.line;
    EXPECT_EQ(Dump(), before) << row.line;
  }
  backend_.failAt = 0;
  Ok("import|" + dir + "good.reg");
  EXPECT_EQ(Stored("Software\\New", "b") + Stored("Software\\C", "x"), "1:3200missing");
  for (const char* help : {"/?", "-h", "query|/?", "ADD|-?"}) {
    EXPECT_EQ(Run(help), 0) << help;
    EXPECT_NE(out_.find("REG"), std::string::npos) << help;
  }
}

// Row: what add is given → the bytes stored and how query shows them, where Wine's reg differs.
TEST_F(RegCommandTest, AddStoresAndQueryShowsByType) {
  const std::string rows[][3] = {
      {"/d|text", "1:7465787400", "REG_SZ    text"},
      {"/t|REG_NONE|/d|ab", "0:616200", "REG_NONE    616200"},
      {"/t|REG_QWORD|/d|0x1122334455667788", "11:8877665544332211",
       "REG_QWORD    0x1122334455667788"},
  };
  for (const auto& [add, stored, shown] : rows) {
    Ok("add|@|/v|v|/f|" + add);
    EXPECT_EQ(Stored("Software\\C", "v"), stored) << add;
    Ok("query|@|/v|v");
    EXPECT_EQ(out_, "\n" + kKey + "\n    v    " + shown + "\n\n");
  }
  // Text shows up to its first zero, a number from its first bytes, an unnamed type its number.
  RegKey key = 0;
  ASSERT_EQ(backend_.Create(kHkeyCurrentUser, "Software\\C", &key), kErrorSuccess);
  ASSERT_EQ(backend_.SetValue(key, "v", kRegSz, "ab\0cd"s), kErrorSuccess);
  ASSERT_EQ(backend_.SetValue(key, "w", 0x1234, "\x01\xff"s), kErrorSuccess);
  ASSERT_EQ(backend_.SetValue(key, "x", kRegDword, "\x01\x02\x03\x04\x05"s), kErrorSuccess);
  backend_.Close(key);
  Ok("query|@");
  EXPECT_EQ(out_, "\n" + kKey +
                      "\n    v    REG_SZ    ab\n    w    0x1234    01FF\n"
                      "    x    REG_DWORD    0x4030201\n\n");
}

// Row: a command that asks first, and the answer (none: no terminal) → the question, the exit
// code and what is said; only Yes changes anything.
TEST_F(RegCommandTest, QuestionsBeforeOverwritingOrDeleting) {
  const std::string file = dir_.Write("x.reg", "keep me");
  const std::string exists = "' already exists. Do you want to overwrite it?";
  const std::string sure = "Are you sure you want to delete the registry ";
  const Answer none = Answer::kNoAnswer, no = Answer::kNo, yes = Answer::kYes;
  const struct {
    std::string line;
    Answer answer;
    std::string question;
  } rows[] = {
      // clang-format off
      {"add|@|/v|S1|/d|new", none, "The registry value 'S1" + exists},
      {"add|@|/d|new", no, "The registry value '(Default)" + exists},
      {"add|@|/v|s1|/d|new", yes, "The registry value 's1" + exists},
      {"delete|@|/v|s1", none, sure + "value 's1'?"}, {"delete|@|/ve", no, sure + "value '(Default)'?"},
      {"delete|hkcu\\Software\\C|/va", none, "Are you sure you want to delete all registry values in '" + kKey + "'?"},
      {"delete|@", yes, sure + "key '" + kKey + "'?"},
      {"export|@|" + file, none, "The file '" + file + exists},
      {"export|@|" + file, yes, "The file '" + file + exists},
      // clang-format on
  };
  for (const auto& row : rows) {
    Ok("add|@|/v|s1|/d|old|/f");
    Ok("add|@|/ve|/d|old|/f");
    const std::string before = Dump();
    EXPECT_EQ(Run(row.line, row.answer), row.answer == none ? 1 : 0) << row.line;
    EXPECT_EQ(questions_, std::vector<std::string>{row.question}) << row.line;
    const bool exp = row.line[0] == 'e';
    const std::string said =
        row.answer == yes  ? (exp ? "" : kSuccess)
        : row.answer == no ? kCancelled
                           : row.question + " (Yes|No) No -- no answer from a terminal; use " +
                                 (exp ? "/y" : "/f") + " to answer Yes\n" + kCancelled;
    EXPECT_EQ(err_ + out_, said) << row.line;
    EXPECT_EQ(before != Dump(), row.answer == yes) << row.line;
  }
  // /f, /y and a value that is new ask nothing.
  for (const std::string& line :
       {"add|@|/v|s1|/d|newer|/f"s, "add|@|/v|s2|/d|x"s, "export|@|" + file + "|/y"}) {
    Ok(line);
    EXPECT_TRUE(questions_.empty()) << line;
  }
}

// Row: a command on the Run value, stored first as "/o/d A" → the Exec of its autostart entry
// afterwards ("" none) and what a query of the Run key then prints: what the program sees.
TEST_F(RegCommandTest, TheRunValueKeepsItsAutostartEntry) {
  const std::string run = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string shown = "\nHKEY_CURRENT_USER" + run.substr(4) + "\n    Dornava    REG_SZ    ";
  const std::string noKey = "reg: Unable to find the specified registry key\n";
  const std::string text = "REGEDIT4\n[" + run + "]\n\"Dornava\"=\"/i/d A\"\n";
  const std::string set = dir_.Write("set.reg", text);
  const std::string drop = dir_.Write("drop.reg", "REGEDIT4\n[-HKCU\\Software\\Microsoft]\n");
  const std::string undone = dir_.Write("undone.reg", text + "\"Other\"=\"/bell\a\"\n");
  const std::string rows[][3] = {
      {"add|" + run + "|/v|Dornava|/d|/a/d A|/f", "/a/d A", shown + "/a/d A\n\n"},
      {"delete|" + run + "|/v|Dornava|/f", "", "\n"},
      {"delete|" + run + "|/f", "", noKey},
      {"delete|HKCU\\Software|/f", "", noKey},
      {"import|" + set, "/i/d A", shown + "/i/d A\n\n"},
      {"import|" + drop, "", noKey},
      {"import|" + undone, "/o/d A", shown + "/o/d A\n\n"},  // fails: no entry takes a bell
      {"hide", "/o/d A", "\n"},  // switched off in the desktop's settings
  };
  const std::string entry = dir_ / "autostart/dornava.desktop";
  for (const auto& [line, exec, query] : rows) {
    Ok("add|" + run + "|/v|Dornava|/d|/o/d A|/f");
    if (line != "hide") Run(line);
    if (line == "hide") std::ofstream(entry, std::ios::app) << "Hidden=true\n";
    std::stringstream in;
    in << std::ifstream(entry).rdbuf();
    EXPECT_EQ(AutostartEntryExec(in.str()), exec) << line;
    Run("query|" + run);
    EXPECT_EQ(out_ + err_, query) << line;
  }
}

}  // namespace
}  // namespace dornava::regtool
