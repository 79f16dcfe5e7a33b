// What the access layer promises, checked on a real registry: SQLite on Linux, advapi32 under
// Wine. Each test works in a key of its own, and no handle outlives a path-level call.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "store/Registr.h"
#include "support/RecordingRegistry.h"

// Each backend's test program hands the suite its registry.
std::unique_ptr<dornava::RawRegistry> MakeSuiteRegistry();

namespace dornava {
namespace {

class RegistrySuite : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(raw_, nullptr);
    path_ += ::testing::UnitTest::GetInstance()->current_test_info()->name();
    registr_.MakeRegKey(kHkeyCurrentUser, path_);
    key_ = Open(path_, kKeyAccess);
  }
  void TearDown() override {
    raw_->CloseKey(key_);
    EXPECT_EQ(recorder_.Count("Open") + recorder_.Count("Create"), recorder_.Count("Close"));
  }
  RegKey Open(const std::string& path, std::uint32_t access) {
    RegKey key = 0;
    EXPECT_EQ(raw_->OpenKeyEx(kHkeyCurrentUser, path.c_str(), 0, access, &key), kErrorSuccess);
    return key;
  }
  // "type:size" of a stored value, or the failing status.
  std::string Stored(const char* name) {
    std::uint32_t type = 0, size = 0;
    const std::int32_t status = raw_->QueryValueEx(key_, name, nullptr, &type, nullptr, &size);
    if (status != kErrorSuccess) return "status " + std::to_string(status);
    return std::to_string(type) + ":" + std::to_string(size);
  }
  RegValue Read(const char* name) { return registr_.ReadRegValue(kHkeyCurrentUser, path_, name); }

  std::unique_ptr<RawRegistry> raw_ = MakeSuiteRegistry();
  test::RecordingRegistry recorder_{*raw_};
  Registr registr_{recorder_};
  std::string path_ = "Software\\DornavaSuite\\";
  RegKey key_ = 0;
};

// Row: what the layer writes into one value → what is stored (type:size, text without its zero)
// and read back. Then values set by others: a counted zero stays in the text, every text type is
// stored as counted, only REG_SZ reads, and a failed read leaves the caller's value alone.
TEST_F(RegistrySuite, ValuesAreStoredAsCountedAndReadBack) {
  const struct {
    RegValue written;
    std::uint32_t type;
    std::string stored;
    RegValue read;
  } rows[] = {
      {RegValue("abc"), kRegSz, "1:3", RegValue("abc")},
      {RegValue("x"), kRegSz, "1:1", RegValue("x")},  // a shorter text leaves nothing behind
      {RegValue(""), kRegSz, "1:0", RegValue("")},
      {RegValue(-42), kRegSz, "1:3", RegValue("-42")},
      {RegValue(-1), kRegDword, "4:4", RegValue(-1)},
      {RegValue("77 days"), kRegDword, "4:4", RegValue(77)},
      {RegValue("x"), kRegExpandSz, "4:4", RegValue(77)},  // an unsupported type writes nothing
  };
  for (const auto& row : rows) {
    registr_.WriteRegValue(kHkeyCurrentUser, path_, "v", row.written, row.type);
    EXPECT_EQ(Stored("v"), row.stored) << row.written.Text();
    EXPECT_EQ(Read("v"), row.read) << row.written.Text();
  }
  const std::uint32_t big = 0x80000000u;
  const auto set = [&](const char* name, std::uint32_t type, const void* data, std::uint32_t n) {
    return raw_->SetValueEx(key_, name, 0, type, static_cast<const std::uint8_t*>(data), n);
  };
  ASSERT_EQ(set("t", kRegSz, "abc", 4) | set("big", kRegDword, &big, 4), kErrorSuccess);
  ASSERT_EQ(set("e", kRegExpandSz, "abc", 3), kErrorSuccess);
  EXPECT_EQ(Read("t"), RegValue(std::string("abc\0", 4)));
  EXPECT_EQ(Read("big"), RegValue(INT32_MIN));
  EXPECT_EQ(Stored("e"), "2:3");
  RegValue kept("kept");
  EXPECT_EQ(registr_.GetRegValue(key_, "e", kept), -1);
  EXPECT_EQ(kept, RegValue("kept"));

  // A short buffer gets the size needed; a roomy one the data, and a zero after unterminated text.
  std::uint8_t buffer[8];
  std::uint32_t size = 3;
  EXPECT_EQ(raw_->QueryValueEx(key_, "t", nullptr, nullptr, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 4u);
  std::memset(buffer, 'x', sizeof buffer);
  size = sizeof buffer;
  EXPECT_EQ(raw_->QueryValueEx(key_, "e", nullptr, nullptr, buffer, &size), kErrorSuccess);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(std::memcmp(buffer, "abc\0x", 5), 0);
}

TEST_F(RegistrySuite, MissingKeysValuesHandlesAndRightsFail) {
  const std::string missing = path_ + "\\Missing";
  EXPECT_TRUE(registr_.ReadRegValue(kHkeyCurrentUser, missing, "x").IsEmpty());
  registr_.WriteRegValue(kHkeyCurrentUser, missing, "x", RegValue("text"), kRegSz);
  registr_.DelRegValue(kHkeyCurrentUser, missing, "x");
  RegKey key = 123;
  EXPECT_EQ(raw_->OpenKeyEx(kHkeyCurrentUser, missing.c_str(), 0, kKeyAccess, &key),
            kErrorFileNotFound);
  EXPECT_EQ(key, 0u) << "a write under a missing key must not create it";

  std::uint8_t byte = 'x';
  std::uint32_t size = 1;
  RegValue value;
  for (const RegKey bad : {RegKey{0}, key_}) {
    const std::int32_t status = bad ? kErrorFileNotFound : kErrorInvalidHandle;
    EXPECT_EQ(raw_->QueryValueEx(bad, "none", nullptr, nullptr, &byte, &size), status);
    EXPECT_EQ(raw_->DeleteValue(bad, "none"), status);
    EXPECT_EQ(registr_.GetRegValue(bad, "none", value), status);
  }
  EXPECT_EQ(raw_->SetValueEx(0, "x", 0, kRegSz, &byte, 1), kErrorInvalidHandle);
  EXPECT_EQ(raw_->CloseKey(0), kErrorInvalidHandle);

  // A key opened to read refuses writes, one opened to write refuses reads.
  registr_.WriteRegValue(kHkeyCurrentUser, path_, "v", RegValue("v"), kRegSz);
  key = Open(path_, kKeyQueryValue);
  EXPECT_EQ(raw_->SetValueEx(key, "v", 0, kRegSz, &byte, 1), kErrorAccessDenied);
  EXPECT_EQ(raw_->DeleteValue(key, "v"), kErrorAccessDenied);
  raw_->CloseKey(key);
  key = Open(path_, kKeySetValue);
  EXPECT_EQ(raw_->QueryValueEx(key, "v", nullptr, nullptr, nullptr, &size), kErrorAccessDenied);
  raw_->CloseKey(key);
}

TEST_F(RegistrySuite, KeysAreMadeAtEveryLevelAndNamesIgnoreCase) {
  const std::string deep = path_ + "\\One\\Two";
  registr_.MakeRegKey(kHkeyCurrentUser, deep);
  raw_->CloseKey(Open(path_ + "\\One", kKeyQueryValue));
  registr_.WriteRegValue(kHkeyCurrentUser, deep, "Value", RegValue("v1"), kRegSz);
  registr_.MakeRegKey(kHkeyCurrentUser, deep);  // making it again keeps what it holds
  const std::string upper =
      "SOFTWARE\\DORNAVASUITE\\KEYSAREMADEATEVERYLEVELANDNAMESIGNORECASE\\ONE\\TWO";
  EXPECT_EQ(registr_.ReadRegValue(kHkeyCurrentUser, upper, "vALUE"), RegValue("v1"));
  registr_.WriteRegValue(kHkeyCurrentUser, upper, "VALUE", RegValue("v2"), kRegSz);
  EXPECT_EQ(registr_.ReadRegValue(kHkeyCurrentUser, deep, "value"), RegValue("v2"));
  registr_.DelRegValue(kHkeyCurrentUser, upper, "value");
  EXPECT_TRUE(registr_.ReadRegValue(kHkeyCurrentUser, deep, "Value").IsEmpty());
}

}  // namespace
}  // namespace dornava
