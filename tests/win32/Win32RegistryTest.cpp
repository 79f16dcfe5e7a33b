// The advapi32 wrapper against the real registry (Wine's, under test): checked through the
// system's own calls, including where the wrapper deliberately differs from calling it directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/win32/Win32Registry.h"
#include "store/Registr.h"

namespace dornava {

// Failures show the value, not its bytes.
static void PrintTo(const RegValue& value, std::ostream* out) {
  if (value.IsEmpty()) *out << "empty";
  if (value.IsNumber()) *out << value.Number();
  if (value.IsText()) *out << ::testing::PrintToString(value.Text());
}

namespace {

using namespace std::string_literals;

const std::uint8_t* Bytes(const char* text) {
  return reinterpret_cast<const std::uint8_t*>(text);
}

// Each test works in a key of its own, opened both directly (key_) and through the wrapper
// (handle_), and removed afterwards.
class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = "Software\\Brenlow\\DornavaTests\\"s +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key_, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(raw_.OpenKeyEx(kHkeyCurrentUser, path_.c_str(), 0, kKeyAccess, &handle_),
              kErrorSuccess);
    ASSERT_NE(handle_, 0u);
  }
  void TearDown() override {
    EXPECT_EQ(raw_.CloseKey(handle_), kErrorSuccess);
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
  }

  // The value's bytes as the system reports them.
  std::string Stored(const char* name, DWORD* type = nullptr) {
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
      return "<missing>";
    std::string data(size, '\0');
    if (RegQueryValueExA(key_, name, nullptr, type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
      return "<unreadable>";
    data.resize(size);
    return data;
  }

  void SetDirect(const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }

  RegValue Read(const char* name) { return registr_.ReadRegValue(kHkeyCurrentUser, path_, name); }

  HKEY key_ = nullptr;
  RegKey handle_ = 0;
  std::string path_;
  Win32Registry raw_;
  Registr registr_{raw_};
};

TEST_F(Win32RegistryTest, TextIsStoredExactlyAsCounted) {
  // The system on its own counts a zero that follows the counted bytes.
  const char text[] = "abc";
  SetDirect("direct", REG_SZ, text, 3);
  EXPECT_EQ(Stored("direct"), "abc\0"s);

  // The layer writes from a std::string, which always has that zero behind its data.
  registr_.WriteRegValue(kHkeyCurrentUser, path_, "layer", RegValue("abc"), kRegSz);
  EXPECT_EQ(Stored("layer"), "abc");
  EXPECT_EQ(Read("layer"), RegValue("abc"));
  registr_.WriteRegValue(kHkeyCurrentUser, path_, "empty", RegValue(""), kRegSz);
  EXPECT_EQ(Stored("empty"), "");

  for (const std::uint32_t type : {kRegSz, kRegExpandSz, kRegMultiSz}) {
    SCOPED_TRACE(type);
    ASSERT_EQ(raw_.SetValueEx(handle_, "typed", 0, type, Bytes(text), 3), kErrorSuccess);
    DWORD storedType = 0;
    EXPECT_EQ(Stored("typed", &storedType), "abc");
    EXPECT_EQ(storedType, type);
  }
}

TEST_F(Win32RegistryTest, CountedTerminatorIsKept) {
  SetDirect("direct", REG_SZ, "abc", 4);
  EXPECT_EQ(Read("direct"), RegValue("abc\0"s));
  EXPECT_EQ(Read("direct").Text().size(), 4u);

  ASSERT_EQ(raw_.SetValueEx(handle_, "layer", 0, kRegSz, Bytes("abc"), 4), kErrorSuccess);
  EXPECT_EQ(Stored("layer"), "abc\0"s);
}

TEST_F(Win32RegistryTest, NumbersAndOtherTypes) {
  const DWORD allOnes = 0xFFFFFFFF;
  SetDirect("dword", REG_DWORD, &allOnes, sizeof allOnes);
  EXPECT_EQ(Read("dword"), RegValue(-1));

  registr_.WriteRegValue(kHkeyCurrentUser, path_, "written", RegValue(-2), kRegDword);
  DWORD type = 0;
  EXPECT_EQ(Stored("written", &type), "\xFE\xFF\xFF\xFF"s);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

  // An unsupported type reads as empty and leaves a value being filled as it was.
  SetDirect("binary", REG_BINARY, "abc", 3);
  EXPECT_TRUE(Read("binary").IsEmpty());
  RegValue kept("kept");
  EXPECT_EQ(registr_.GetRegValue(handle_, "binary", kept), -1);
  EXPECT_EQ(kept, RegValue("kept"));
}

TEST_F(Win32RegistryTest, MissingKeysAndValues) {
  RegKey missing = 0;
  EXPECT_EQ(
      raw_.OpenKeyEx(kHkeyCurrentUser, (path_ + "\\missing").c_str(), 0, kKeyAccess, &missing),
      kErrorFileNotFound);
  EXPECT_EQ(missing, 0u);

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(raw_.QueryValueEx(handle_, "missing", nullptr, &type, nullptr, &size),
            kErrorFileNotFound);
  EXPECT_EQ(raw_.DeleteValue(handle_, "missing"), kErrorFileNotFound);
  EXPECT_TRUE(Read("missing").IsEmpty());

  // A write under a missing key changes nothing, not even the key.
  registr_.WriteRegValue(kHkeyCurrentUser, path_ + "\\missing", "value", RegValue("x"), kRegSz);
  HKEY created = nullptr;
  EXPECT_EQ(RegOpenKeyExA(key_, "missing", 0, KEY_READ, &created), ERROR_FILE_NOT_FOUND);
}

TEST_F(Win32RegistryTest, NoKeyIsAnInvalidHandle) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(raw_.QueryValueEx(0, "value", nullptr, &type, nullptr, &size), kErrorInvalidHandle);
  EXPECT_EQ(raw_.SetValueEx(0, "value", 0, kRegSz, Bytes("abc"), 3), kErrorInvalidHandle);
  EXPECT_EQ(raw_.SetValueEx(0, "value", 0, kRegDword, Bytes("abcd"), 4), kErrorInvalidHandle);
  EXPECT_EQ(raw_.DeleteValue(0, "value"), kErrorInvalidHandle);
  EXPECT_EQ(raw_.CloseKey(0), kErrorInvalidHandle);
  RegValue value;
  EXPECT_EQ(registr_.GetRegValue(0, "value", value), kErrorInvalidHandle);
}

TEST_F(Win32RegistryTest, CreatedKeysAreUsableHandles) {
  const std::string sub = path_ + "\\a\\b";
  RegKey key = 0;
  std::uint32_t disposition = 0;
  ASSERT_EQ(raw_.CreateKeyEx(kHkeyCurrentUser, sub.c_str(), 0, nullptr, 0, kKeyAccess, nullptr,
                             &key, &disposition),
            kErrorSuccess);
  EXPECT_EQ(disposition, kRegCreatedNewKey);
  ASSERT_EQ(raw_.SetValueEx(key, "value", 0, kRegSz, Bytes("xyz"), 3), kErrorSuccess);
  EXPECT_EQ(raw_.CloseKey(key), kErrorSuccess);
  EXPECT_EQ(registr_.ReadRegValue(kHkeyCurrentUser, sub, "value"), RegValue("xyz"));

  ASSERT_EQ(raw_.CreateKeyEx(kHkeyCurrentUser, sub.c_str(), 0, nullptr, 0, kKeyAccess, nullptr,
                             &key, &disposition),
            kErrorSuccess);
  EXPECT_EQ(disposition, kRegOpenedExistingKey);
  EXPECT_EQ(raw_.CloseKey(key), kErrorSuccess);
  EXPECT_EQ(registr_.ReadRegValue(kHkeyCurrentUser, sub, "value"), RegValue("xyz"));
}

}  // namespace
}  // namespace dornava
