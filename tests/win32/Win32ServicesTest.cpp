// The Windows services: the command-line and path rules on their own, and the wallpaper and the
// process environment against the system they run on (Wine's, under test).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/win32/Win32Services.h"

namespace dornava {
namespace {

TEST(ArgumentText, FollowsTheProgramNameHoweverQuoted) {
  struct Case {
    const char* commandLine;
    const char* argument;
  };
  for (const Case& c : {
           Case{R"("C:\a b\Dornava.exe"  A)", "A"},
           Case{R"("C:\Program Files\Dornava Test\Dornava" A)", "A"},
           Case{"Dornava A", "A"},
           Case{"C:\\x\\Dornava.exe\t \tA  B ", "A  B "},
           Case{R"(Dornava "a b")", R"("a b")"},
           // The closing quote ends the name even without a blank after it.
           Case{R"("C:\x\Dornava"A)", "A"},
           // Unquoted, the name ends at the first blank, quotes or not.
           Case{R"(C:\a"b c"\Dornava.exe A)", R"(c"\Dornava.exe A)"},
       }) {
    EXPECT_EQ(ArgumentText(c.commandLine), c.argument) << c.commandLine;
  }
}

TEST(ArgumentText, EmptyWhenOnlyTheProgramIsNamed) {
  for (const char* commandLine : {"Dornava", R"("C:\x\Dornava")", R"("C:\a b\Dornava.exe" )",
                                  "Dornava \t ", R"("C:\a b\Dornava.exe A)", ""}) {
    EXPECT_EQ(ArgumentText(commandLine), "") << commandLine;
  }
  // A leading blank leaves the name empty: what follows is the argument.
  EXPECT_EQ(ArgumentText(" Dornava"), "Dornava");
}

TEST(SplitExecutablePath, FolderAndNameWithoutExtension) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
  };
  for (const Case& c : {
           Case{R"(C:\Program Files\Dornava Test\Dornava.exe)", R"(C:\Program Files\Dornava Test)",
                "Dornava"},
           Case{R"(C:\Dornava.exe)", "C:", "Dornava"},
           Case{R"(C:\v1.2\Dornava.new.exe)", R"(C:\v1.2)", "Dornava.new"},
           Case{R"(C:\v1.2\Dornava)", R"(C:\v1.2)", "Dornava"},
           Case{R"(\\server\share\DORNAVA.EXE)", R"(\\server\share)", "DORNAVA"},
       }) {
    const ExecutablePath split = SplitExecutablePath(c.path);
    EXPECT_EQ(split.folder, c.folder) << c.path;
    EXPECT_EQ(split.name, c.name) << c.path;
  }
}

TEST(Win32Environment, NamesThisExecutable) {
  Win32Environment environment;
  EXPECT_EQ(environment.ExecutableName(), "dornava_win32_tests");
  const std::string file =
      environment.ExecutableFolder() + environment.PathSeparator() + "dornava_win32_tests.exe";
  EXPECT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES) << file;
}

std::string DesktopWallpaper() {
  char text[MAX_PATH * 4] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ, nullptr,
                   text, &size) != ERROR_SUCCESS)
    return "<missing>";
  return text;
}

TEST(Win32Wallpaper, HandsOverExactlyTheGivenText) {
  const std::string before = DesktopWallpaper();
  // A view into a longer text: the characters after it must not reach the system.
  const std::string text = R"(C:\Tapety Test\a.bmp - more)";
  Win32Wallpaper().SetWallpaper(std::string_view(text).substr(0, 20));
  EXPECT_EQ(DesktopWallpaper(), R"(C:\Tapety Test\a.bmp)");
  SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(before.c_str()),
                        SPIF_UPDATEINIFILE);
}

}  // namespace
}  // namespace dornava
