// The command-line and path rules, and the wallpaper against the system (Wine's, under test).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/win32/Win32Services.h"

namespace dornava {
namespace {

// The closing quote ends the program's name; unquoted, the first blank does, quotes or not.
TEST(ArgumentText, FollowsTheProgramNameHoweverQuoted) {
  const std::pair<const char*, const char*> rows[] = {
      {R"("C:\a b\Dornava.exe"  A)", "A"},
      {"C:\\x\\Dornava.exe\t \tA  B ", "A  B "},
      {R"("C:\x\Dornava"A)", "A"},
      {R"(C:\a"b c"\Dornava.exe A)", R"(c"\Dornava.exe A)"},
      {"Dornava \t ", ""},
      {R"("C:\a b\Dornava.exe A)", ""},
      {"", ""},
      {" Dornava", "Dornava"}};
  for (const auto& [commandLine, argument] : rows)
    EXPECT_EQ(ArgumentText(commandLine), argument) << commandLine;
}

// Under Wine the system records the path in the registry, as Windows does with this flag.
TEST(Win32Wallpaper, HandsOverExactlyTheGivenText) {
  char after[MAX_PATH] = {};
  // A view into a longer text: the characters after it must not reach the system.
  Win32Wallpaper().SetWallpaper(std::string_view(R"(C:\Tapety Test\a.bmp - more)").substr(0, 20));
  DWORD size = sizeof after;
  RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ, nullptr,
               after, &size);
  EXPECT_STREQ(after, R"(C:\Tapety Test\a.bmp)");
}

}  // namespace
}  // namespace dornava
