// Autostart on Linux: the Desktop Entry rules as pure text, then the Run value and its XDG
// autostart entry kept in step, whatever is in the entry's place.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/linux/DesktopEntry.h"
#include "platform/linux/SqliteRegistry.h"
#include "platform/linux/XdgAutostart.h"
#include "store/Locations.h"
#include "store/Registr.h"
#include "support/TempDir.h"

namespace dornava {
namespace {
using Argv = std::vector<std::string>;

// Each Exec value reads back by the Desktop Entry rules as exactly its row's arguments.
TEST(DesktopEntry, ExecRunsExactlyTheArguments) {
  const std::pair<Argv, std::string> rows[] = {
      {{"/opt/dornava/dornava", "A"}, R"(/opt/dornava/dornava A)"},
      {{"/home/eva/my apps/dornava", "A"}, R"("/home/eva/my apps/dornava" A)"},
      {{R"(/srv/it's "quoted")", "it's"}, R"("/srv/it's \\"quoted\\"" "it's")"},
      {{R"(/srv/back\slash)", R"(trailing\)"}, R"("/srv/back\\\\slash" "trailing\\\\")"},
      {{"/srv/$HOME", "`id`"}, R"("/srv/\\$HOME" "\\`id\\`")"},
      {{"/srv/100%", "%u %%"}, R"(/srv/100%% "%%u %%%%")"},
      {{"/srv/;&|<>*?#()~", "a=b"}, R"("/srv/;&|<>*?#()~" a=b)"},
      {{"/srv/tab\there", "new\nline", "cr\r"}, R"("/srv/tab\there" "new\nline" "cr\r")"},
      {{" lead", "two  blanks ", ""}, R"(" lead" "two  blanks " "")"},
  };
  for (const auto& [argv, exec] : rows)
    EXPECT_EQ(DesktopExec(argv), exec) << argv[0];
  // The entry runs the program as the Exec rules say; what no escape can carry makes no entry.
  EXPECT_EQ(AutostartEntryText(" Other\\App", {"/home/eva/my apps/dornava", "A"}),
            "# Kept in step with Dornava's autostart setting; Dornava rewrites or removes it.\n"
            "[Desktop Entry]\nType=Application\nName=\\sOther\\\\App\n"
            "Exec=\"/home/eva/my apps/dornava\" A\nHidden=false\nX-GNOME-Autostart-enabled=true\n");
  for (const auto& [name, argument] :
       {std::pair{"Dornava", "/srv/not \xC3 UTF-8"}, {"Dor\x7Fnava", "/a"}})
    EXPECT_EQ(AutostartEntryText(name, {argument}), "") << name << argument;
}

TEST(DesktopEntry, EnabledUnlessSwitchedOffInTheMainGroup) {
  const std::string head = "[Desktop Entry]\nExec=/a\n";
  const std::pair<std::string, bool> rows[] = {
      {head + "Hidden=false\nX-GNOME-Autostart-enabled=true\n", true},
      {head + "Hidden=1\n", false},
      {head + "X-GNOME-Autostart-enabled=false\n", false},
      {head + "X-GNOME-Autostart-enabled=0\n", false},
      {head + "Hidden=true\nHidden=false\n", true},  // the last one counts
      {head + "Hidden=false\nHidden=true", false},
      {head + "  Hidden = true \r\n", false},
      {head + "hidden=true\n", true},  // keys are case-sensitive
      {head + "[Desktop Action x]\nHidden=true\n", true},
      {"Hidden=true\n" + head, true},
      {"[Desktop Action x]\nName=x\n" + head + "Hidden=true\n", false},
  };
  for (const auto& [text, enabled] : rows)
    EXPECT_EQ(AutostartEntryEnabled(text), enabled) << text;
}

// A Run value's entry is named after it, safely; its command splits as the Run value is built.
TEST(DesktopEntry, FileNamesAndRunCommands) {
  const std::pair<const char*, const char*> names[] = {
      {"Dornava", "dornava.desktop"},       {"../../Sneaky", "_.._.._sneaky.desktop"},
      {".hidden", "_.hidden.desktop"},      {"", "_.desktop"},
      {"ČEŠTINA ÉÄ", "čeština éä.desktop"}, {"ĀŁ ΩΜΕΓΑ ЮНИКОД Ѐ", "āł ωμεγα юникод ѐ.desktop"},
  };
  for (const auto& [name, file] : names)
    EXPECT_EQ(AutostartFileName(name), file) << name;
  const std::pair<const char*, Argv> commands[] = {
      {"/opt/dornava/dornava A", {"/opt/dornava/dornava", "A"}},
      {"\"/home/eva/my apps/dornava\" A", {"/home/eva/my apps/dornava", "A"}},
      {"\"/a \"b\" c/dornava\" A", {"/a \"b\" c/dornava", "A"}},  // up to the last quote
      {"  /a\t x  y ", {"/a", "x", "y"}},
      {"\"/unterminated A", {"/unterminated A"}},
      {" \t ", {}},
      {"\"\" A", {}},
  };
  for (const auto& [command, argv] : commands)
    EXPECT_EQ(SplitRunCommand(command), argv) << command;
}

namespace fs = std::filesystem;

// What is at a place: nothing (""), "<folder>", "<fifo>", or an entry's Exec value.
std::string At(const std::string& path) {
  const fs::file_type type = fs::symlink_status(path).type();
  if (type == fs::file_type::not_found) return "";
  if (type != fs::file_type::regular) return type == fs::file_type::fifo ? "<fifo>" : "<folder>";
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);)
    if (line.starts_with("Exec=")) return line.substr(5);
  return "<no Exec>";
}

TEST(XdgAutostart, TheRunValueAndItsEntryStayInStep) {
  // Before: n nothing, o ours, h ours switched off, g ours with its entry gone, d a folder in the
  // entry's place, f a FIFO there, F a file in the folder's place. Op: s/x/n write text/expandable
  // text/number, d delete, r read. Key: u user's Run, q it read-only, m machine's, b a key below.
  struct Row {
    char before, op;
    std::string text;
    std::int32_t status;
    RegValue stored;    // the value afterwards, read past the mapping
    std::string entry;  // what is at the entry's place afterwards
    char key = 'u';
  };
  const std::string o = "/old/dornava A", n = "/new/dornava A";
  const Row rows[] = {
      {'n', 's', "\"/my apps/d\"  A", kErrorSuccess, "\"/my apps/d\"  A", "\"/my apps/d\" A"},
      {'o', 'x', n, kErrorSuccess, {}, n},  // Registr reads plain text only
      {'o', 's', "   ", kErrorSuccess, "   ", ""},
      {'o', 'n', std::string("\4\0\0\0", 4), kErrorSuccess, 4, ""},
      {'o', 'd', "", kErrorSuccess, {}, ""},
      {'n', 'd', "", kErrorFileNotFound, {}, ""},
      {'o', 'r', "", kErrorSuccess, o, o},
      {'h', 'r', "", kErrorFileNotFound, o, o},
      {'g', 'r', "", kErrorFileNotFound, o, ""},
      {'o', 's', "/srv/bell\a/dornava A", kErrorInvalidParameter, o, o},
      {'o', 's', n, kErrorAccessDenied, o, o, 'q'},
      {'n', 's', n, kErrorAccessDenied, {}, "", 'q'},
      {'o', 'd', "", kErrorAccessDenied, o, o, 'q'},
      {'d', 's', n, kErrorRegistryIoFailed, o, "<folder>"},
      {'d', 'd', "", kErrorRegistryIoFailed, o, "<folder>"},
      {'f', 'r', "", kErrorFileNotFound, o, "<fifo>"},
      {'f', 's', n, kErrorSuccess, n, n},
      {'F', 's', n, kErrorRegistryIoFailed, o, ""},
      {'F', 'd', "", kErrorSuccess, {}, ""},
      {'n', 's', n, kErrorSuccess, n, "", 'm'},
      {'g', 'r', "", kErrorSuccess, o, "", 'b'},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(&row - rows);
    // The Run key stored in another case, as an imported .reg file may spell it.
    test::TempDir dir;
    const std::string folder = dir / "autostart", entry = folder + "/dornava.desktop";
    const auto raw = SqliteRegistry::Open(dir / "registry.db", nullptr);
    Registr(*raw).MakeRegKey(kHkeyCurrentUser, "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN");
    XdgAutostart autostart(*raw, folder);
    Registr registr(autostart);
    const RegKey root = row.key == 'm' ? kHkeyLocalMachine : kHkeyCurrentUser;
    const std::string path = std::string(kRunKey) + (row.key == 'b' ? "\\Dornava" : "");
    registr.MakeRegKey(root, path);
    if (row.before != 'n') registr.WriteRegValue(root, path, kRunValueName, o, kRegSz);
    if (row.before == 'h') std::ofstream(entry, std::ios::app) << "Hidden=true\n";
    if (std::string_view("gdfF").find(row.before) != std::string_view::npos) fs::remove(entry);
    if (row.before == 'd') fs::create_directories(entry + "/inside");
    ASSERT_EQ(row.before == 'f' ? ::mkfifo(entry.c_str(), 0600) : 0, 0);
    if (row.before == 'F' && fs::remove_all(folder)) dir.Write("autostart", "not a folder");

    RegKey key = 0;
    autostart.OpenKeyEx(root, path.c_str(), 0, row.key == 'q' ? kKeyQueryValue : kKeyAccess, &key);
    RegValue read;
    const std::uint32_t type = row.op == 'x' ? kRegExpandSz : row.op == 'n' ? kRegDword : kRegSz;
    const auto size = static_cast<std::uint32_t>(row.text.size());
    const auto op = [&] {
      if (row.op == 'd') return autostart.DeleteValue(key, "Dornava");
      if (row.op == 'r') return registr.GetRegValue(key, kRunValueName, read);
      return autostart.SetValueEx(key, "Dornava", 0, type,
                                  reinterpret_cast<const std::uint8_t*>(row.text.data()), size);
    };
    ::alarm(5);  // a call blocked on a FIFO cannot be cancelled: the run ends rather than hang
    EXPECT_EQ(op(), row.status);
    ::alarm(0);
    autostart.CloseKey(key);
    EXPECT_EQ(read, row.op == 'r' && row.status == kErrorSuccess ? row.stored : RegValue());
    EXPECT_EQ(Registr(*raw).ReadRegValue(root, path, kRunValueName), row.stored);
    EXPECT_EQ(At(entry), row.entry);
  }
}

// Row: the Run value and its entry's Exec as a crash or the desktop's settings left them (entry:
// o ours, h ours switched off, f someone else's, m ours, registry in memory) → both once opened.
TEST(XdgAutostart, OpeningPutsTheRunValueAndItsEntryBackInStep) {
  const std::string o = "/old/dornava A", n = "/new/dornava A";
  const std::tuple<RegValue, std::string, char, RegValue, std::string> rows[] = {
      {o, o, 'o', o, o},    {"  ", "", 'o', "  ", ""},  // in step
      {{}, n, 'o', {}, ""}, {"  ", n, 'o', "  ", ""},   // a write cut short after its entry
      {o, n, 'o', o, o},                                // an overwrite cut short
      {o, "", 'o', {}, ""},  // a delete cut short, or the user removed the entry
      {o, n, 'h', o, n},    {{}, n, 'h', {}, n},       {{}, n, 'f', {}, n}, {{}, n, 'm', {}, n},
  };
  for (const auto& [value, exec, kind, valueAfter, execAfter] : rows) {
    SCOPED_TRACE(value.Text() + "|" + exec + kind);
    test::TempDir dir;
    const auto raw = SqliteRegistry::Open(kind == 'm' ? ":memory:" : dir / "r.db", nullptr);
    Registr registr(*raw);
    registr.MakeRegKey(kHkeyCurrentUser, kRunKey);
    if (!value.IsEmpty())
      registr.WriteRegValue(kHkeyCurrentUser, kRunKey, "Dornava", value, kRegSz);
    const std::string ours = AutostartEntryText("D", SplitRunCommand(exec));
    if (!exec.empty())
      dir.Write("dornava.desktop", kind == 'f' ? "[Desktop Entry]\nExec=" + exec
                                               : ours + (kind == 'h' ? "Hidden=true\n" : ""));
    XdgAutostart autostart(*raw, dir.path());
    EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName), valueAfter);
    EXPECT_EQ(At(dir / "dornava.desktop"), execAfter);
  }
}

}  // namespace
}  // namespace dornava
