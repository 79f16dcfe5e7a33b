// The Desktop Entry rules of the autostart mapping, as pure text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/DesktopEntry.h"

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

}  // namespace
}  // namespace dornava
