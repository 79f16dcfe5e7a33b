// The Windows platform layer against Wine: the registry suite on the real registry via advapi32,
// whose "A" calls speak UTF-8 here; the command-line rule; the wallpaper handed to the system.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Services.h"
#include "store/Registr.h"

std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry();
std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry() {
  return std::make_unique<dornava::Win32Registry>();
}

namespace dornava {
namespace {

// Czech key names, value names and text reach the registry as such (the wide side sees them).
TEST(Win32Registry, NonAsciiPassesThroughTheAnsiCallsUnchanged) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the test program lacks the UTF-8 manifest";
  Win32Registry raw;
  Registr registr(raw);
  const std::string key = "Software\\DornavaSuite\\Obrázky žluťoučký";
  const std::string text = "C:\\Tapety\\podzim ďábelské ódy €.bmp";
  registr.MakeRegKey(kHkeyCurrentUser, key);
  registr.WriteRegValue(kHkeyCurrentUser, key, "Jméno kůň", RegValue(text), kRegSz);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, key, "Jméno kůň"), RegValue(text));

  wchar_t wide[256] = {};
  DWORD size = sizeof wide;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\DornavaSuite\\Obrázky žluťoučký",
                         L"Jméno kůň", RRF_RT_REG_SZ, nullptr, wide, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(wide), L"C:\\Tapety\\podzim ďábelské ódy €.bmp");
}

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
