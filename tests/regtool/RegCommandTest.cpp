// The commands against a private in-memory SQLite registry. Expected outputs are what Wine's
// reg prints for the same operations (with LF line ends; errors go to standard error here).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "RegCommand.h"
#include "RegText.h"
#include "SqliteBackend.h"
#include "WineExports.h"
#include "platform/linux/SqliteRegistry.h"

namespace dornava::regtool {
namespace {

using namespace std::string_literals;

class ScriptedConsole final : public RegConsole {
 public:
  void Out(std::string_view text) override { out += text; }
  void Err(std::string_view text) override { err += text; }
  Answer Ask(std::string_view question) override {
    questions.emplace_back(question);
    if (answers.empty()) return Answer::kNoAnswer;
    const Answer a = answers.front();
    answers.erase(answers.begin());
    return a;
  }

  std::string out, err;
  std::vector<std::string> questions;
  std::vector<Answer> answers;
};

// Fails the n-th SetValue (counting from 1) as a full disk would.
class FailingBackend final : public RegBackend {
 public:
  FailingBackend(RegBackend& inner, int failAt) : inner_(inner), failAt_(failAt) {}
  std::int32_t Open(RegKey b, const std::string& p, RegKey* k) override {
    return inner_.Open(b, p, k);
  }
  std::int32_t Create(RegKey r, const std::string& p, RegKey* k) override {
    return inner_.Create(r, p, k);
  }
  void Close(RegKey k) override { inner_.Close(k); }
  std::int32_t GetValue(RegKey k, const std::string& n, RegEntry* v) override {
    return inner_.GetValue(k, n, v);
  }
  std::int32_t SetValue(RegKey k, const std::string& n, std::uint32_t t,
                        const std::string& d) override {
    if (++sets_ == failAt_) return kErrorAccessDenied;
    return inner_.SetValue(k, n, t, d);
  }
  std::int32_t DeleteValue(RegKey k, const std::string& n) override {
    return inner_.DeleteValue(k, n);
  }
  std::int32_t Values(RegKey k, std::vector<RegEntry>* v) override { return inner_.Values(k, v); }
  std::int32_t SubKeys(RegKey k, std::vector<std::string>* n) override {
    return inner_.SubKeys(k, n);
  }
  std::int32_t DeleteTree(RegKey r, const std::string& p) override {
    return inner_.DeleteTree(r, p);
  }
  bool Transaction(const std::function<bool()>& body) override { return inner_.Transaction(body); }

 private:
  RegBackend& inner_;
  int failAt_;
  int sets_ = 0;
};

std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Utf16File(std::string_view utf8) {
  return "\xFF\xFE" + Utf16ToLeBytes(Utf8ToUtf16(utf8));
}

std::string Hex(std::string_view data) {
  std::string out;
  char buf[4];
  for (char c : data) {
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(c));
    out += buf;
  }
  return out;
}

class RegCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_ = SqliteRegistry::Open(":memory:", nullptr);
    ASSERT_TRUE(registry_);
    backend_ = std::make_unique<SqliteBackend>(*registry_);
    std::random_device random;
    dir_ =
        std::filesystem::path(::testing::TempDir()) /
        ("regtool-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
         "-" + std::to_string(random()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Runs one command with a fresh console; `answers` are the user's replies to questions.
  int Run(std::vector<std::string> args, std::vector<Answer> answers = {}) {
    console_ = ScriptedConsole();
    console_.answers = std::move(answers);
    RegBackend* backend = backend_.get();
    if (failing_) backend = failing_.get();
    return RunReg(
        args,
        [this, backend](bool) {
          ++opened_;
          return backend;
        },
        console_);
  }

  // Runs a command that must succeed quietly apart from its success line.
  void Ok(std::vector<std::string> args) {
    ASSERT_EQ(Run(args), 0) << console_.err;
    EXPECT_EQ(console_.err, "");
  }

  // Every key below HKCU and HKLM with its values, for "nothing changed" checks.
  std::string Dump() {
    std::string out;
    for (RegKey root : {kHkeyCurrentUser, kHkeyLocalMachine}) {
      RegKey key = 0;
      EXPECT_EQ(backend_->Open(root, "", &key), kErrorSuccess);
      DumpKey(key, RootLongName(root), &out);
      backend_->Close(key);
    }
    return out;
  }

  void DumpKey(RegKey key, const std::string& name, std::string* out) {
    *out += "[" + name + "]\n";
    std::vector<RegEntry> values;
    backend_->Values(key, &values);
    for (const RegEntry& v : values) {
      *out += "  " + v.name + " " + std::to_string(v.type) + " " + Hex(v.data) + "\n";
    }
    std::vector<std::string> subKeys;
    backend_->SubKeys(key, &subKeys);
    for (const std::string& sub : subKeys) {
      RegKey child = 0;
      ASSERT_EQ(backend_->Open(key, sub, &child), kErrorSuccess);
      DumpKey(child, name + "\\" + sub, out);
      backend_->Close(child);
    }
  }

  // The stored type and bytes of a value; "missing" when it is not there.
  std::string Stored(const std::string& path, const std::string& name) {
    RegKey key = 0;
    if (backend_->Open(kHkeyCurrentUser, path, &key) != kErrorSuccess) return "missing key";
    RegEntry entry;
    const std::int32_t rc = backend_->GetValue(key, name, &entry);
    backend_->Close(key);
    if (rc != kErrorSuccess) return "missing";
    return std::to_string(entry.type) + ":" + Hex(entry.data);
  }

  std::string File(const std::string& name) { return (dir_ / name).string(); }
  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) {
    std::ifstream in(File(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::unique_ptr<SqliteRegistry> registry_;
  std::unique_ptr<SqliteBackend> backend_;
  std::unique_ptr<FailingBackend> failing_;
  ScriptedConsole console_;
  int opened_ = 0;
  std::filesystem::path dir_;
};

constexpr const char* kSuccess = "reg: The operation completed successfully\n";

TEST_F(RegCommandTest, QueryListsValuesThenSubkeys) {
  Ok({"add", "HKCU\\Software\\T1", "/v", "s1", "/d", "hello"});
  EXPECT_EQ(console_.out, kSuccess);
  Ok({"add", "HKCU\\Software\\T1", "/v", "d1", "/t", "REG_DWORD", "/d", "42"});
  Ok({"add", "HKCU\\Software\\T1", "/v", "b1", "/t", "REG_BINARY", "/d", "0102ab"});
  Ok({"add", "HKCU\\Software\\T1", "/ve", "/d", "def"});
  Ok({"add", "HKCU\\Software\\T1\\Sub"});
  Ok({"add", "HKCU\\Software\\T1\\Sub\\Deeper", "/v", "x", "/d", "y"});

  Ok({"query", "HKCU\\Software\\T1"});
  EXPECT_EQ(console_.out,
            "\n"
            "HKEY_CURRENT_USER\\Software\\T1\n"
            "    (Default)    REG_SZ    def\n"
            "    b1    REG_BINARY    0102AB\n"
            "    d1    REG_DWORD    0x2a\n"
            "    s1    REG_SZ    hello\n"
            "\n"
            "HKEY_CURRENT_USER\\Software\\T1\\Sub\n");

  // Recursive: every key gets its name and a blank line, even without values.
  Ok({"query", "HKCU\\Software\\T1\\Sub", "/s"});
  EXPECT_EQ(console_.out,
            "\n"
            "HKEY_CURRENT_USER\\Software\\T1\\Sub\n"
            "    (Default)    REG_SZ    \n"
            "\n"
            "HKEY_CURRENT_USER\\Software\\T1\\Sub\\Deeper\n"
            "    x    REG_SZ    y\n"
            "\n");

  // Only subkeys: no key name line; an empty key prints a blank line only.
  Ok({"query", "HKCU\\Software"});
  EXPECT_EQ(console_.out, "\nHKEY_CURRENT_USER\\Software\\T1\n");
  Ok({"delete", "HKCU\\Software\\T1\\Sub", "/ve", "/f"});
  Ok({"delete", "HKCU\\Software\\T1\\Sub\\Deeper", "/f"});
  Ok({"query", "HKCU\\Software\\T1\\Sub"});
  EXPECT_EQ(console_.out, "\n");
}

TEST_F(RegCommandTest, QueryOneValue) {
  Ok({"add", "HKCU\\Software\\T4", "/v", "Uni", "/d", "x"});

  // The name is shown as typed.
  Ok({"query", "hkcu\\software\\t4\\", "/v", "UNI"});
  EXPECT_EQ(console_.out, "\nHKEY_CURRENT_USER\\software\\t4\n    UNI    REG_SZ    x\n\n");

  EXPECT_EQ(Run({"query", "HKCU\\Software\\T4", "/v", "nope"}), 1);
  EXPECT_EQ(console_.out, "\n");
  EXPECT_EQ(console_.err, "reg: Unable to find the specified registry value\n");

  // An unset default value is not an error.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"query", "HKCU\\Software\\T4", "/ve"},
        std::vector<std::string>{"query", "HKCU\\Software\\T4", "/v", ""}}) {
    Ok(args);
    EXPECT_EQ(console_.out,
              "\nHKEY_CURRENT_USER\\Software\\T4\n    (Default)    REG_SZ    (value not set)\n");
  }

  for (const char* value : {"x", ""}) {
    EXPECT_EQ(Run({"query", "HKCU\\Software\\Nope", "/v", value}), 1);
    EXPECT_EQ(console_.out, "");
    EXPECT_EQ(console_.err, "reg: Unable to find the specified registry key\n");
  }

  Ok({"add", "HKCU\\Software\\T4\\Sub", "/v", "uni", "/d", "y"});
  Ok({"query", "HKCU\\Software\\T4", "/v", "uni", "/s"});
  EXPECT_EQ(console_.out,
            "\n"
            "HKEY_CURRENT_USER\\Software\\T4\n    uni    REG_SZ    x\n\n"
            "HKEY_CURRENT_USER\\Software\\T4\\Sub\n    uni    REG_SZ    y\n\n"
            "Search complete. Number of matches found: 2\n");
}

TEST_F(RegCommandTest, DataIsStoredAndShownByType) {
  struct Case {
    std::vector<std::string> add;  // after the key and /v
    std::string stored;            // type:hex
    std::string shown;
  };
  const std::vector<Case> cases = {
      {{"/d", "text"}, "1:7465787400", "REG_SZ    text"},
      {{"/t", "REG_SZ"}, "1:00", "REG_SZ    "},
      {{"/t", "reg_expand_sz", "/d", "%HOME%"}, "2:25484f4d452500", "REG_EXPAND_SZ    %HOME%"},
      {{"/t", "REG_MULTI_SZ", "/d", "a\\0b"}, "7:6100620000", "REG_MULTI_SZ    a\\0b"},
      {{"/t", "REG_MULTI_SZ", "/d", "a#b#", "/s", "#"}, "7:6100620000", "REG_MULTI_SZ    a\\0b"},
      {{"/t", "REG_MULTI_SZ", "/d", ""}, "7:00", "REG_MULTI_SZ    "},
      {{"/t", "REG_DWORD", "/d", "0xffffffff"}, "4:ffffffff", "REG_DWORD    0xffffffff"},
      {{"/t", "REG_DWORD", "/d", "4294967295"}, "4:ffffffff", "REG_DWORD    0xffffffff"},
      {{"/t", "REG_DWORD_LITTLE_ENDIAN", "/d", "0X1F"}, "4:1f000000", "REG_DWORD    0x1f"},
      {{"/t", "REG_DWORD_BIG_ENDIAN", "/d", "1"}, "5:01000000", "REG_DWORD_BIG_ENDIAN    0x1"},
      {{"/t", "REG_QWORD", "/d", "0x1122334455667788"},
       "11:8877665544332211",
       "REG_QWORD    0x1122334455667788"},
      {{"/t", "REG_BINARY", "/d", "abc"}, "3:0abc", "REG_BINARY    0ABC"},
      {{"/t", "REG_BINARY"}, "3:", "REG_BINARY    "},
      {{"/t", "REG_NONE", "/d", "ab"}, "0:616200", "REG_NONE    616200"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"add", "HKCU\\Software\\Types", "/v", "v", "/f"};
    args.insert(args.end(), c.add.begin(), c.add.end());
    Ok(args);
    EXPECT_EQ(Stored("Software\\Types", "v"), c.stored) << c.add.back();
    Ok({"query", "HKCU\\Software\\Types", "/v", "v"});
    EXPECT_EQ(console_.out, "\nHKEY_CURRENT_USER\\Software\\Types\n    v    " + c.shown + "\n\n")
        << c.add.back();
  }

  // Text is shown up to its first zero; types reg.exe has no name for show their number.
  RegKey key = 0;
  ASSERT_EQ(backend_->Create(kHkeyCurrentUser, "Software\\Types", &key), kErrorSuccess);
  ASSERT_EQ(backend_->SetValue(key, "v", kRegSz, "ab\0cd"s), kErrorSuccess);
  ASSERT_EQ(backend_->SetValue(key, "w", 0x1234, "\x01\xff"s), kErrorSuccess);
  backend_->Close(key);
  Ok({"query", "HKCU\\Software\\Types"});
  EXPECT_EQ(console_.out,
            "\nHKEY_CURRENT_USER\\Software\\Types\n    v    REG_SZ    ab\n"
            "    w    0x1234    01FF\n\n");

  // Without /v the default value is set, an empty text unless /d says otherwise.
  Ok({"add", "HKCU\\Software\\Default"});
  EXPECT_EQ(Stored("Software\\Default", ""), "1:00");
}

TEST_F(RegCommandTest, KeyNames) {
  for (const char* name : {"HKCU\\Software\\K", "HKEY_CURRENT_USER\\Software\\K",
                           "hkey_current_user\\software\\k\\", "HKCU\\Software\\\\K"}) {
    Ok({"add", name, "/v", "v", "/d", "1", "/f"});
  }
  Ok({"query", "HKCU\\Software"});
  EXPECT_EQ(console_.out, "\nHKEY_CURRENT_USER\\Software\\K\n");
  Ok({"add", "HKLM\\Software\\K", "/f"});
  Ok({"add", "HKCR\\K", "/f"});
  Ok({"add", "HKU\\K", "/f"});
  Ok({"add", "HKCC\\K", "/f"});
  Ok({"query", "HKEY_CLASSES_ROOT"});
  EXPECT_EQ(console_.out, "\nHKEY_CLASSES_ROOT\\K\n");

  const std::string before = Dump();
  opened_ = 0;
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"HK", "reg: Invalid registry key\n"},
      {"HKCU\\\\", "reg: Invalid registry key\n"},
      {"HKCU\\Software\\\\", "reg: Invalid registry key\n"},
      {"\\\\server\\HKCU\\Software", "reg: Unable to access remote machine\n"},
      {"HKCU\\", "reg: Invalid system key\n"},
      {"HKXX\\Software", "reg: Invalid system key\n"},
      {"HKCUX\\Software", "reg: Invalid system key\n"},
      {"Software\\K", "reg: Invalid system key\n"},
  };
  for (const auto& [name, message] : bad) {
    for (const char* op : {"query", "add", "delete"}) {
      EXPECT_EQ(Run({op, name, "/f"}), 1) << op << " " << name;
      EXPECT_EQ(console_.err, message) << op << " " << name;
      EXPECT_EQ(console_.out, "");
    }
  }
  EXPECT_EQ(opened_, 0) << "bad arguments must not even open the registry";
  EXPECT_EQ(Dump(), before);
}

TEST_F(RegCommandTest, BadCommandLinesChangeNothing) {
  Ok({"add", "HKCU\\Software\\C", "/v", "x", "/d", "1"});
  const std::string before = Dump();
  opened_ = 0;
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::string addSyntax = "reg: Invalid syntax. Type \"REG ADD /?\" for help.\n";
  const std::vector<Case> cases = {
      {{}, "reg: Invalid syntax. Type \"REG /?\" for help.\n"},
      {{"frob", "x"}, "reg: Invalid option [frob]. Type \"REG /?\" for help.\n"},
      {{"Query"}, "reg: Invalid syntax. Type \"REG QUERY /?\" for help.\n"},
      {{"query", "/?", "x"}, "reg: Invalid syntax. Type \"REG QUERY /?\" for help.\n"},
      {{"query", "HKCU\\Software\\C", "/v"},
       "reg: Invalid syntax. Type \"REG QUERY /?\" for help.\n"},
      {{"query", "HKCU\\Software\\C", "/v", "a", "/ve"},
       "reg: Invalid syntax. Type \"REG QUERY /?\" for help.\n"},
      {{"query", "HKCU\\Software\\C", "extra"},
       "reg: Invalid syntax. Type \"REG QUERY /?\" for help.\n"},
      {{"add", "HKCU\\Software\\C", "/v", "a", "/v", "b"}, addSyntax},
      {{"add", "HKCU\\Software\\C", "/ve", "/v", "b"}, addSyntax},
      {{"add", "HKCU\\Software\\C", "/d"}, addSyntax},
      {{"add", "HKCU\\Software\\C", "/x"}, addSyntax},
      {{"add", "HKCU\\Software\\C", "/f", "/f"}, addSyntax},
      {{"add", "HKCU\\Software\\C", "/reg:32", "/reg:64"}, addSyntax},
      {{"add", "HKCU\\Software\\C", "/t", "REG_MULTI_SZ", "/s", ",,", "/d", "a"}, addSyntax},
      {{"add", "HKCU\\Software\\C", "foo"}, addSyntax},
      {{"ADD", "HKCU\\Software\\New", "/v", "x", "/t", "REG_FOO", "/d", "1"},
       "reg: Unsupported registry data type [REG_FOO]\n"},
      {{"add", "HKCU\\Software\\C", "/v", "x", "/t", "REG_DWORD"},
       "reg: Invalid command line parameters\n"},
      {{"add", "HKCU\\Software\\C", "/v", "x", "/t", "REG_DWORD", "/d", "4294967296", "/f"},
       "reg: The option [/d] must be followed by a valid numeric value\n"},
      {{"add", "HKCU\\Software\\C", "/v", "x", "/t", "REG_DWORD", "/d", "-1", "/f"},
       "reg: The option [/d] must be followed by a valid numeric value\n"},
      {{"add", "HKCU\\Software\\C", "/v", "x", "/t", "REG_DWORD", "/d", "12abc", "/f"},
       "reg: The option [/d] must be followed by a valid numeric value\n"},
      {{"add", "HKCU\\Software\\C", "/v", "x", "/t", "REG_BINARY", "/d", "xyz", "/f"},
       "reg: The option [/d] must be followed by a valid hexadecimal value\n"},
      {{"add", "HKCU\\Software\\C", "/v", "x", "/t", "REG_MULTI_SZ", "/d", "a\\0\\0b", "/f"},
       "reg: The option [/d] must be followed by a valid string\n"},
      {{"add", "HKCU\\Software\\C", "/v", "x", "/t", "REG_MULTI_SZ", "/d", "\\0a", "/f"},
       "reg: The option [/d] must be followed by a valid string\n"},
      {{"delete", "HKCU\\Software\\C", "/v", "a", "/va"},
       "reg: Invalid syntax. Type \"REG DELETE /?\" for help.\n"},
      {{"delete", "HKCU\\Software\\C", "/ve", "/va"},
       "reg: Invalid syntax. Type \"REG DELETE /?\" for help.\n"},
      {{"delete", "HKCU\\Software\\C", "/g"},
       "reg: Invalid syntax. Type \"REG DELETE /?\" for help.\n"},
      // Deleting a root would empty it: refused as reg.exe on Windows does.
      {{"delete", "HKCU", "/f"}, "reg: Invalid registry key\n"},
      {{"export", "HKCU\\Software\\C"}, "reg: Invalid syntax. Type \"REG EXPORT /?\" for help.\n"},
      {{"export", "HKCU\\Software\\C", "f.reg", "/x"},
       "reg: Invalid syntax. Type \"REG EXPORT /?\" for help.\n"},
      {{"import"}, "reg: Invalid syntax. Type \"REG IMPORT /?\" for help.\n"},
      {{"import", "a", "b"}, "reg: Invalid syntax. Type \"REG IMPORT /?\" for help.\n"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args)
      joined += a + " ";
    EXPECT_EQ(Run(c.args), 1) << joined;
    EXPECT_EQ(console_.err, c.err) << joined;
    EXPECT_EQ(console_.out, "") << joined;
  }
  EXPECT_EQ(opened_, 0) << "bad arguments must not even open the registry";
  // Unlike Wine's reg, an unsupported type does not leave the key it would have created.
  EXPECT_EQ(Dump(), before);
}

TEST_F(RegCommandTest, HelpSucceeds) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"/?"}, {"-h"}, {"query", "/?"}, {"ADD", "-?"}, {"import", "/h"}}) {
    EXPECT_EQ(Run(args), 0);
    EXPECT_NE(console_.out.find("REG"), std::string::npos);
    EXPECT_EQ(console_.err, "");
  }
}

TEST_F(RegCommandTest, AddAsksBeforeOverwriting) {
  Ok({"add", "HKCU\\Software\\O", "/v", "s1", "/d", "old"});
  Ok({"add", "HKCU\\Software\\O", "/ve", "/d", "old"});
  const std::string before = Dump();

  // No terminal: taken as No, and the exit code says nothing was written.
  EXPECT_EQ(Run({"add", "HKCU\\Software\\O", "/v", "S1", "/d", "new"}), 1);
  ASSERT_EQ(console_.questions.size(), 1u);
  EXPECT_EQ(console_.questions[0],
            "The registry value 'S1' already exists. Do you want to overwrite it?");
  EXPECT_NE(console_.err.find("use /f"), std::string::npos) << console_.err;
  EXPECT_NE(console_.err.find("reg: The registry operation was cancelled\n"), std::string::npos);
  EXPECT_EQ(console_.out, "");

  // Answered No on a terminal: cancelled, as reg.exe reports it (exit code 0).
  EXPECT_EQ(Run({"add", "HKCU\\Software\\O", "/d", "new"}, {Answer::kNo}), 0);
  EXPECT_EQ(console_.questions.at(0),
            "The registry value '(Default)' already exists. Do you want to overwrite it?");
  EXPECT_EQ(console_.out, "reg: The registry operation was cancelled\n");
  EXPECT_EQ(Dump(), before);

  EXPECT_EQ(Run({"add", "HKCU\\Software\\O", "/v", "s1", "/d", "new"}, {Answer::kYes}), 0);
  EXPECT_EQ(console_.out, kSuccess);
  EXPECT_EQ(Stored("Software\\O", "s1"), "1:6e657700");

  // /f and a new value ask nothing.
  Ok({"add", "HKCU\\Software\\O", "/v", "s1", "/d", "newer", "/f"});
  Ok({"add", "HKCU\\Software\\O", "/v", "s2", "/d", "x"});
  Ok({"add", "HKCU\\Software\\Fresh", "/v", "s1", "/d", "x"});
  EXPECT_TRUE(console_.questions.empty());
  EXPECT_EQ(Stored("Software\\O", "s1"), "1:6e6577657200");
}

TEST_F(RegCommandTest, Delete) {
  Ok({"add", "HKCU\\Software\\D", "/v", "a", "/d", "1"});
  Ok({"add", "HKCU\\Software\\D", "/v", "b", "/d", "2"});
  Ok({"add", "HKCU\\Software\\D", "/ve", "/d", "3"});
  Ok({"add", "HKCU\\Software\\D\\Sub\\Deep", "/v", "c", "/d", "4"});
  const std::string before = Dump();

  // Asked first; no answer or No leaves everything.
  EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/v", "a"}), 1);
  EXPECT_EQ(console_.questions.at(0), "Are you sure you want to delete the registry value 'a'?");
  EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/ve"}, {Answer::kNo}), 0);
  EXPECT_EQ(console_.questions.at(0),
            "Are you sure you want to delete the registry value '(Default)'?");
  EXPECT_EQ(console_.out, "reg: The registry operation was cancelled\n");
  EXPECT_EQ(Run({"delete", "hkcu\\Software\\D", "/va"}), 1);
  EXPECT_EQ(
      console_.questions.at(0),
      "Are you sure you want to delete all registry values in 'HKEY_CURRENT_USER\\Software\\D'?");
  EXPECT_EQ(Run({"delete", "HKCU\\Software\\D"}, {Answer::kNo}), 0);
  EXPECT_EQ(console_.questions.at(0),
            "Are you sure you want to delete the registry key 'HKEY_CURRENT_USER\\Software\\D'?");
  EXPECT_EQ(Dump(), before);

  EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/v", "A"}, {Answer::kYes}), 0);
  EXPECT_EQ(console_.out, kSuccess);
  EXPECT_EQ(Stored("Software\\D", "a"), "missing");
  EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/v", "a", "/f"}), 1);
  EXPECT_EQ(console_.err, "reg: Unable to find the specified registry value\n");

  Ok({"delete", "HKCU\\Software\\D", "/ve", "/f"});
  EXPECT_EQ(Stored("Software\\D", ""), "missing");
  EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/ve", "/f"}), 1);
  EXPECT_EQ(console_.err, "reg: Unable to find the specified registry value\n");

  // /va takes the values and leaves the subkeys.
  Ok({"delete", "HKCU\\Software\\D", "/va", "/f"});
  Ok({"query", "HKCU\\Software\\D"});
  EXPECT_EQ(console_.out, "\nHKEY_CURRENT_USER\\Software\\D\\Sub\n");

  Ok({"delete", "HKCU\\Software\\D", "/f"});
  EXPECT_EQ(Stored("Software\\D\\Sub\\Deep", "c"), "missing key");
  EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/f"}), 1);
  EXPECT_EQ(console_.err, "reg: Unable to find the specified registry key\n");
  EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/v", "x", "/f"}), 1);
  EXPECT_EQ(console_.err, "reg: Unable to find the specified registry key\n");
}

TEST_F(RegCommandTest, WineExportImportsUnchangedAndExportsBackEqual) {
  for (const char* text : {kWineE1, kWineW2}) {
    const std::string file = Utf16File(Crlf(text));
    WriteFile("in.reg", file);
    Ok({"import", File("in.reg")});
    EXPECT_EQ(console_.out, "");
  }
  // Text is kept as UTF-8 and with the terminating zero the file's string had.
  EXPECT_EQ(Stored("Software\\E1", "e"), "2:25484f4d45255c7800");
  EXPECT_EQ(Stored("Software\\E1", "s1"), "1:6122625c6300");
  EXPECT_EQ(Stored("Software\\W2", "multi"),
            "7:" + Hex("příliš\0žluťoučký kůň\0úpěl ďábelské ódy\0\0"s));

  Ok({"export", "HKCU\\Software\\E1", File("e1.reg")});
  EXPECT_EQ(console_.out, "");
  EXPECT_EQ(ReadFile("e1.reg"), Utf16File(Crlf(kWineE1)));
  Ok({"export", "HKEY_CURRENT_USER\\Software\\W2", File("w2.reg")});
  EXPECT_EQ(ReadFile("w2.reg"), Utf16File(Crlf(kWineW2)));

  // And once more through our own file.
  Ok({"delete", "HKCU\\Software\\E1", "/f"});
  Ok({"import", File("e1.reg")});
  Ok({"export", "HKCU\\Software\\E1", File("e1.reg"), "/y"});
  EXPECT_EQ(ReadFile("e1.reg"), Utf16File(Crlf(kWineE1)));
}

TEST_F(RegCommandTest, ImportAppliesDeletionsAndBothEncodings) {
  Ok({"add", "HKCU\\Software\\Old\\Deep", "/v", "x", "/d", "1"});
  Ok({"add", "HKCU\\Software\\Keep", "/v", "gone", "/d", "1"});
  Ok({"add", "HKCU\\Software\\Keep", "/v", "stays", "/d", "1"});
  WriteFile("r4.reg", Crlf("REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\Old]\n"
                           "[-HKEY_CURRENT_USER\\Software\\NeverWas]\n"
                           "[HKEY_CURRENT_USER\\Software\\Keep]\n\"gone\"=-\n\"never\"=-\n"
                           "\"ž\"=\"ř\"\n"));
  Ok({"import", File("r4.reg")});
  EXPECT_EQ(Stored("Software\\Old", "x"), "missing key");
  EXPECT_EQ(Stored("Software\\Keep", "gone"), "missing");
  EXPECT_EQ(Stored("Software\\Keep", "stays"), "1:3100");
  EXPECT_EQ(Stored("Software\\Keep", "ž"), "1:c59900");

  WriteFile("v5.reg", Utf16File(Crlf("Windows Registry Editor Version 5.00\n\n"
                                     "[HKEY_CURRENT_USER\\Software\\Keep]\n\"ž\"=\"ó\"\n")));
  Ok({"import", File("v5.reg")});
  EXPECT_EQ(Stored("Software\\Keep", "ž"), "1:c3b300");
}

TEST_F(RegCommandTest, ImportIsAllOrNothing) {
  Ok({"add", "HKCU\\Software\\Keep", "/v", "a", "/d", "1"});
  const std::string before = Dump();

  // A fault late in the file: the keys and values before it are not written either.
  WriteFile("bad.reg", Crlf("REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\Keep]\n"
                            "[HKEY_CURRENT_USER\\Software\\New]\n\"a\"=\"1\"\n"
                            "\"b\"=hex:01,02,\\\n  03 ,04\n"));
  EXPECT_EQ(Run({"import", File("bad.reg")}), 1);
  EXPECT_EQ(console_.err, "reg: Unable to import '" + File("bad.reg") +
                              "', line 7: ',' expected between hex bytes. Nothing was imported.\n");
  EXPECT_EQ(console_.out, "");
  EXPECT_EQ(Dump(), before);

  WriteFile("header.reg", "[HKEY_CURRENT_USER\\Software\\New]\r\n");
  EXPECT_EQ(Run({"import", File("header.reg")}), 1);
  EXPECT_NE(console_.err.find("not a registry file"), std::string::npos) << console_.err;

  EXPECT_EQ(Run({"import", File("missing.reg")}), 1);
  EXPECT_EQ(console_.err, "reg: The file '" + File("missing.reg") + "' was not found.\n");
  EXPECT_EQ(Dump(), before);

  // The registry refusing a write half-way undoes the writes before it.
  WriteFile("good.reg", Crlf("REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\Keep]\n"
                             "[HKEY_CURRENT_USER\\Software\\New]\n\"a\"=\"1\"\n\"b\"=\"2\"\n"));
  failing_ = std::make_unique<FailingBackend>(*backend_, 2);
  EXPECT_EQ(Run({"import", File("good.reg")}), 1);
  EXPECT_EQ(console_.err,
            "reg: Unable to import the registry key 'HKEY_CURRENT_USER\\Software\\New'. Nothing "
            "was imported.\n");
  EXPECT_EQ(Dump(), before);
  failing_.reset();
  Ok({"import", File("good.reg")});
  EXPECT_NE(Dump(), before);
}

TEST_F(RegCommandTest, ExportAsksBeforeOverwritingAFile) {
  Ok({"add", "HKCU\\Software\\X", "/v", "a", "/d", "1"});
  WriteFile("x.reg", "keep me");

  EXPECT_EQ(Run({"export", "HKCU\\Software\\X", File("x.reg")}), 1);
  EXPECT_EQ(console_.questions.at(0),
            "The file '" + File("x.reg") + "' already exists. Do you want to overwrite it?");
  EXPECT_NE(console_.err.find("use /y"), std::string::npos) << console_.err;
  EXPECT_EQ(ReadFile("x.reg"), "keep me");
  EXPECT_EQ(Run({"export", "HKCU\\Software\\X", File("x.reg")}, {Answer::kNo}), 0);
  EXPECT_EQ(console_.out, "reg: The registry operation was cancelled\n");
  EXPECT_EQ(ReadFile("x.reg"), "keep me");

  EXPECT_EQ(Run({"export", "HKCU\\Software\\X", File("x.reg")}, {Answer::kYes}), 0);
  EXPECT_EQ(ReadFile("x.reg"),
            Utf16File(Crlf("Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"1\"\n\n")));
  Ok({"export", "HKCU\\Software\\X", File("x.reg"), "/y"});

  EXPECT_EQ(Run({"export", "HKCU\\Software\\Nope", File("n.reg")}), 1);
  EXPECT_EQ(console_.err, "reg: Unable to find the specified registry key\n");
  EXPECT_FALSE(std::filesystem::exists(File("n.reg")));
  EXPECT_EQ(Run({"export", "HKCU\\Software\\X", File("no/such/dir.reg")}), 1);
  EXPECT_EQ(console_.err, "Path not found.\n");
}

}  // namespace
}  // namespace dornava::regtool
