// The registry suite on the real registry, via advapi32, whose "A" calls speak UTF-8 here.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/Win32Registry.h"
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

}  // namespace
}  // namespace dornava
