// The raw registry: the six calls the access layer makes, with the semantics of their advapi32
// namesakes. Results are Win32 status numbers; nothing here throws.
#pragma once

#include <cstdint>

namespace dornava {

// An open key. 0 is "no key": calls given 0 fail with kErrorInvalidHandle.
using RegKey = std::uint64_t;

inline constexpr RegKey kHkeyClassesRoot = 0x80000000u;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;
inline constexpr RegKey kHkeyUsers = 0x80000003u;
inline constexpr RegKey kHkeyCurrentConfig = 0x80000005u;

inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorInvalidParameter = 87;
inline constexpr std::int32_t kErrorBadPathname = 161;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kErrorNoMoreItems = 259;
inline constexpr std::int32_t kErrorRegistryIoFailed = 1016;
inline constexpr std::int32_t kErrorKeyDeleted = 1018;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
// Query, set, create sub-key, enumerate, notify, create link: no standard rights.
inline constexpr std::uint32_t kKeyAccess = 0x3F;

inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

inline bool IsStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

class RawRegistry {
 public:
  virtual ~RawRegistry() = default;

  virtual std::int32_t OpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                                 std::uint32_t access, RegKey* result) = 0;
  virtual std::int32_t CreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                                   const char* keyClass, std::uint32_t options,
                                   std::uint32_t access, const void* security, RegKey* result,
                                   std::uint32_t* disposition) = 0;
  virtual std::int32_t QueryValueEx(RegKey key, const char* name, std::uint32_t* reserved,
                                    std::uint32_t* type, std::uint8_t* data,
                                    std::uint32_t* size) = 0;
  virtual std::int32_t SetValueEx(RegKey key, const char* name, std::uint32_t reserved,
                                  std::uint32_t type, const std::uint8_t* data,
                                  std::uint32_t size) = 0;
  virtual std::int32_t DeleteValue(RegKey key, const char* name) = 0;
  virtual std::int32_t CloseKey(RegKey key) = 0;

  // Calls between BeginBatch and EndBatch form one unit that a crash cannot split, where the
  // store can do that; batches nest. `writes` says whether the unit will change anything, so a
  // store can take its write lock up front. The default is a store without transactions.
  virtual void BeginBatch(bool writes) { (void)writes; }
  virtual void EndBatch() {}
  // A store that stood in for one that could not be opened tries that one again; true when it
  // now serves it. Outside batches only.
  virtual bool Reconnect() { return false; }
};

// Holds a batch open for one scope.
class RegBatch {
 public:
  RegBatch(RawRegistry& raw, bool writes) : raw_(raw) { raw_.BeginBatch(writes); }
  ~RegBatch() { raw_.EndBatch(); }
  RegBatch(const RegBatch&) = delete;
  RegBatch& operator=(const RegBatch&) = delete;

 private:
  RawRegistry& raw_;
};

}  // namespace dornava
