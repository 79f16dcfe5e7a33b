// What the access layer promises, checked on a real registry: SQLite on Linux, advapi32 under
// Wine. Each test works below a key of its own.
#include "registry_suite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "store/Registr.h"
#include "store/ScheduleStore.h"
#include "support/RecordingRegistry.h"
#include "support/VectorList.h"

namespace dornava {
namespace {

class RegistrySuite : public ::testing::Test {
 protected:
  void SetUp() override {
    raw_ = MakeSuiteRegistry();
    ASSERT_NE(raw_, nullptr);
    path_ = std::string("Software\\DornavaSuite\\") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }

  std::int32_t RawSet(const std::string& name, std::uint32_t type, const void* data,
                      std::uint32_t size) {
    RegKey key = 0;
    std::uint32_t disposition = 0;
    EXPECT_EQ(raw_->CreateKeyEx(kHkeyCurrentUser, path_.c_str(), 0, nullptr, 0, kKeyAccess, nullptr,
                                &key, &disposition),
              kErrorSuccess);
    const std::int32_t status =
        raw_->SetValueEx(key, name.c_str(), 0, type, static_cast<const std::uint8_t*>(data), size);
    raw_->CloseKey(key);
    return status;
  }

  // Type and stored byte count of a value, or the failing status.
  std::int32_t RawSize(const std::string& path, const std::string& name, std::uint32_t* type,
                       std::uint32_t* size) {
    RegKey key = 0;
    std::int32_t status = raw_->OpenKeyEx(kHkeyCurrentUser, path.c_str(), 0, kKeyAccess, &key);
    if (status != kErrorSuccess) return status;
    *size = 0;
    status = raw_->QueryValueEx(key, name.c_str(), nullptr, type, nullptr, size);
    raw_->CloseKey(key);
    return status;
  }

  std::unique_ptr<RawRegistry> raw_;
  std::string path_;
};

TEST_F(RegistrySuite, TextIsStoredAsCountedAndReadBackWhole) {
  Registr registr(*raw_);
  registr.MakeRegKey(kHkeyCurrentUser, path_);
  registr.WriteRegValue(kHkeyCurrentUser, path_, "abc", RegValue("abc"), kRegSz);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(RawSize(path_, "abc", &type, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 3u) << "no terminating zero may be stored";
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, path_, "abc"), RegValue("abc"));

  // A shorter text over a longer one leaves nothing of the old.
  registr.WriteRegValue(kHkeyCurrentUser, path_, "abc", RegValue("x"), kRegSz);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, path_, "abc"), RegValue("x"));

  // The empty text stays a text.
  registr.WriteRegValue(kHkeyCurrentUser, path_, "empty", RegValue(""), kRegSz);
  const RegValue empty = registr.ReadRegValue(kHkeyCurrentUser, path_, "empty");
  EXPECT_TRUE(empty.IsText());
  EXPECT_EQ(empty.Text(), "");

  // A number written as text is its decimal form.
  registr.WriteRegValue(kHkeyCurrentUser, path_, "n", RegValue(-42), kRegSz);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, path_, "n"), RegValue("-42"));
}

TEST_F(RegistrySuite, TextWrittenWithItsTerminatorKeepsIt) {
  ASSERT_EQ(RawSet("t", kRegSz, "abc", 4), kErrorSuccess);
  Registr registr(*raw_);
  const RegValue value = registr.ReadRegValue(kHkeyCurrentUser, path_, "t");
  EXPECT_EQ(value.Text(), std::string("abc\0", 4));
}

TEST_F(RegistrySuite, NumbersAndOtherTypes) {
  Registr registr(*raw_);
  registr.MakeRegKey(kHkeyCurrentUser, path_);
  registr.WriteRegValue(kHkeyCurrentUser, path_, "d", RegValue(-1), kRegDword);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(RawSize(path_, "d", &type, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, path_, "d"), RegValue(-1));

  const std::uint32_t big = 0x80000000u;
  ASSERT_EQ(RawSet("big", kRegDword, &big, 4), kErrorSuccess);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, path_, "big"), RegValue(INT32_MIN));

  // Binary reads as empty, and GetRegValue leaves the caller's value alone.
  ASSERT_EQ(RawSet("bin", kRegBinary, "\x01\x02", 2), kErrorSuccess);
  EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, path_, "bin").IsEmpty());
  RegKey key = 0;
  ASSERT_EQ(raw_->OpenKeyEx(kHkeyCurrentUser, path_.c_str(), 0, kKeyAccess, &key), kErrorSuccess);
  RegValue kept("kept");
  EXPECT_EQ(registr.GetRegValue(key, "bin", kept), -1);
  EXPECT_EQ(kept, RegValue("kept"));

  // An unsupported type code writes nothing and reports success.
  EXPECT_EQ(registr.PutRegValue(key, "expand", kRegExpandSz, RegValue("x")), kErrorSuccess);
  raw_->CloseKey(key);
  EXPECT_EQ(RawSize(path_, "expand", &type, &size), kErrorFileNotFound);
}

TEST_F(RegistrySuite, MissingKeysValuesAndHandlesFailQuietly) {
  Registr registr(*raw_);
  const std::string missing = path_ + "\\Missing";
  EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, missing, "x").IsEmpty());
  registr.WriteRegValue(kHkeyCurrentUser, missing, "x", RegValue("text"), kRegSz);
  registr.DelRegValue(kHkeyCurrentUser, missing, "x");
  RegKey key = 123;
  EXPECT_EQ(raw_->OpenKeyEx(kHkeyCurrentUser, missing.c_str(), 0, kKeyAccess, &key),
            kErrorFileNotFound);
  EXPECT_EQ(key, 0u) << "a write under a missing key must not create it";

  std::uint8_t byte = 0;
  std::uint32_t size = 1;
  EXPECT_EQ(raw_->QueryValueEx(0, "x", nullptr, nullptr, &byte, &size), kErrorInvalidHandle);
  EXPECT_EQ(raw_->SetValueEx(0, "x", 0, kRegSz, &byte, 1), kErrorInvalidHandle);
  EXPECT_EQ(raw_->DeleteValue(0, "x"), kErrorInvalidHandle);
  EXPECT_EQ(raw_->CloseKey(0), kErrorInvalidHandle);

  registr.MakeRegKey(kHkeyCurrentUser, path_);
  ASSERT_EQ(raw_->OpenKeyEx(kHkeyCurrentUser, path_.c_str(), 0, kKeyAccess, &key), kErrorSuccess);
  EXPECT_EQ(raw_->QueryValueEx(key, "none", nullptr, nullptr, nullptr, &size), kErrorFileNotFound);
  EXPECT_EQ(raw_->DeleteValue(key, "none"), kErrorFileNotFound);
  RegValue value;
  EXPECT_EQ(registr.GetRegValue(key, "none", value), kErrorFileNotFound);
  EXPECT_TRUE(value.IsEmpty());
  registr.DelRegValue(kHkeyCurrentUser, path_, "none");
  raw_->CloseKey(key);
}

TEST_F(RegistrySuite, ShortBufferReportsTheSizeNeeded) {
  ASSERT_EQ(RawSet("long", kRegSz, "abcdef", 6), kErrorSuccess);
  RegKey key = 0;
  ASSERT_EQ(raw_->OpenKeyEx(kHkeyCurrentUser, path_.c_str(), 0, kKeyAccess, &key), kErrorSuccess);
  std::uint8_t buffer[3] = {};
  std::uint32_t size = sizeof buffer;
  std::uint32_t type = 0;
  EXPECT_EQ(raw_->QueryValueEx(key, "long", nullptr, &type, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 6u);
  std::uint8_t whole[6] = {};
  size = sizeof whole;
  EXPECT_EQ(raw_->QueryValueEx(key, "long", nullptr, &type, whole, &size), kErrorSuccess);
  EXPECT_EQ(std::memcmp(whole, "abcdef", 6), 0);
  raw_->CloseKey(key);
}

TEST_F(RegistrySuite, MakeRegKeyCreatesEveryLevelAndKeepsValues) {
  Registr registr(*raw_);
  const std::string deep = path_ + "\\One\\Two\\Three";
  registr.MakeRegKey(kHkeyCurrentUser, deep);
  for (const std::string& level : {path_ + "\\One", path_ + "\\One\\Two", deep}) {
    RegKey key = 0;
    EXPECT_EQ(raw_->OpenKeyEx(kHkeyCurrentUser, level.c_str(), 0, kKeyAccess, &key), kErrorSuccess)
        << level;
    raw_->CloseKey(key);
  }
  registr.WriteRegValue(kHkeyCurrentUser, deep, "v", RegValue("stays"), kRegSz);
  registr.MakeRegKey(kHkeyCurrentUser, deep);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, deep, "v"), RegValue("stays"));

  RegKey key = 0;
  std::uint32_t disposition = 0;
  ASSERT_EQ(raw_->CreateKeyEx(kHkeyCurrentUser, deep.c_str(), 0, nullptr, 0, kKeyAccess, nullptr,
                              &key, &disposition),
            kErrorSuccess);
  EXPECT_EQ(disposition, kRegOpenedExistingKey);
  raw_->CloseKey(key);
}

TEST_F(RegistrySuite, NamesAreCaseInsensitive) {
  Registr registr(*raw_);
  registr.MakeRegKey(kHkeyCurrentUser, path_ + "\\MixedCase");
  registr.WriteRegValue(kHkeyCurrentUser, path_ + "\\MixedCase", "Value", RegValue("v1"), kRegSz);
  std::string upper = path_ + "\\MIXEDCASE";
  for (char& c : upper)
    c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, upper, "vALUE"), RegValue("v1"));
  registr.WriteRegValue(kHkeyCurrentUser, upper, "VALUE", RegValue("v2"), kRegSz);
  EXPECT_EQ(registr.ReadRegValue(kHkeyCurrentUser, path_ + "\\mixedcase", "value"), RegValue("v2"));
  registr.DelRegValue(kHkeyCurrentUser, upper, "value");
  EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, path_ + "\\MixedCase", "Value").IsEmpty());
}

TEST_F(RegistrySuite, EveryPathCallOpensAndClosesItsOwnKey) {
  test::RecordingRegistry recorder(*raw_);
  Registr registr(recorder);
  registr.MakeRegKey(kHkeyCurrentUser, path_);
  registr.WriteRegValue(kHkeyCurrentUser, path_, "v", RegValue("text"), kRegSz);
  registr.ReadRegValue(kHkeyCurrentUser, path_, "v");
  registr.DelRegValue(kHkeyCurrentUser, path_, "v");
  registr.ReadRegValue(kHkeyCurrentUser, path_, "v");
  const std::string create = "Create HKCU " + path_ + " 0x0 null 0x0 0x3F null";
  const std::string open = "Open HKCU " + path_ + " 0x0 0x3F";
  const std::vector<std::string> expected = {create,
                                             "Close key",
                                             open,
                                             "Set key v 0x0 1 4",
                                             "Close key",
                                             open,
                                             "Query key v size",
                                             "Query key v data 4",
                                             "Close key",
                                             open,
                                             "Delete key v",
                                             "Close key",
                                             open,
                                             "Query key v size",
                                             "Close key"};
  EXPECT_EQ(recorder.calls, expected);
}

TEST_F(RegistrySuite, ScheduleSurvivesARewriteOnTheRealRegistry) {
  Registr registr(*raw_);
  test::VectorList list;
  list.items = {"S 07:30 - C:\\a.bmp", "R 00:01 - C:\\b.bmp", "S 23:59 - C:\\c.bmp"};
  RewriteSchedule(registr, list);
  test::VectorList loaded;
  ASSERT_TRUE(LoadSchedule(registr, loaded));
  EXPECT_EQ(loaded.items, list.items);

  list.selected = 0;
  EXPECT_TRUE(DeleteSelectedEntry(registr, list));
  ASSERT_TRUE(LoadSchedule(registr, loaded));
  EXPECT_EQ(loaded.items, (std::vector<std::string>{"R 00:01 - C:\\b.bmp", "S 23:59 - C:\\c.bmp"}));
  EXPECT_TRUE(registr.ReadRegValue(kHkeyCurrentUser, kScheduleKey, "002").IsEmpty());

  list.items.clear();
  RewriteSchedule(registr, list);
  EXPECT_FALSE(LoadSchedule(registr, loaded));
}

}  // namespace
}  // namespace dornava
