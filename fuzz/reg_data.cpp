// A value of any type and bytes, as another program may have stored it. The access layer reads
// REG_SZ whole and REG_DWORD of up to four bytes; anything else fails and leaves the caller's
// value alone. Read from SQLite, from a batch's cache or by path, the answer is the same.
#include <string>

#include "FuzzBodies.h"
#include "platform/linux/SqliteRegistry.h"
#include "store/RegData.h"
#include "store/Registr.h"

namespace dornava::fuzz {

void FuzzRegData(const std::uint8_t* data, std::size_t size) {
  static const auto raw = SqliteRegistry::Open(":memory:", nullptr);
  static RegKey key = 0;
  if (!key)
    raw->CreateKeyEx(kHkeyCurrentUser, "Fuzz", 0, nullptr, 0, kKeyAccess, nullptr, &key, {});
  if (size < 2) return;
  const std::uint32_t type = data[0];
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string name = input.substr(2, data[1] % 8), bytes = input.substr(2 + name.size());
  Expect(raw->SetValueEx(key, name.c_str(), 0, type, data + 2 + name.size(),
                         static_cast<std::uint32_t>(bytes.size())) == kErrorSuccess,
         "any type and size is stored");
  const bool fits = type == kRegSz || (type == kRegDword && bytes.size() <= 4);
  const RegValue kept("kept"), number(static_cast<std::int32_t>(FromLittleEndian(bytes, 4)));
  const RegValue expected = !fits ? kept : type == kRegSz ? RegValue(bytes) : number;
  const std::int32_t status = fits ? kErrorSuccess : type == kRegDword ? kErrorMoreData : -1;
  Registr registr(*raw);
  for (const bool cached : {false, true}) {
    if (cached) raw->BeginBatch(false);
    RegValue value = kept;
    Expect(registr.GetRegValue(key, name, value) == status && value == expected,
           "the value read from SQLite or from a batch's cache");
    if (cached) raw->EndBatch();
  }
  Expect(registr.ReadRegValue(kHkeyCurrentUser, "Fuzz", name) == (fits ? expected : RegValue()),
         "the value read by path");
  raw->DeleteValue(key, name.c_str());
}

}  // namespace dornava::fuzz
