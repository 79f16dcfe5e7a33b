// The real registry: advapi32's "A" functions, arguments and statuses passed through as they are.
#pragma once

#include <string>
#include <vector>

#include "store/RawRegistry.h"

namespace dornava {

class Win32Registry final : public RawRegistry {
 public:
  Win32Registry() = default;
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;
  ~Win32Registry() override;

  std::int32_t OpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                         std::uint32_t access, RegKey* result) override;
  std::int32_t CreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                           const char* keyClass, std::uint32_t options, std::uint32_t access,
                           const void* security, RegKey* result,
                           std::uint32_t* disposition) override;
  std::int32_t QueryValueEx(RegKey key, const char* name, std::uint32_t* reserved,
                            std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
  // Text is stored exactly as counted: no terminator is added behind the caller's back.
  std::int32_t SetValueEx(RegKey key, const char* name, std::uint32_t reserved, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override;
  std::int32_t DeleteValue(RegKey key, const char* name) override;
  std::int32_t CloseKey(RegKey key) override;
  // The registry has no transactions, so Dornava's processes take turns instead: one batch at a
  // time in the session, and two instances never interleave their rewrites. A turn not given
  // within the wait lets the batch go ahead on its own rather than hang.
  void BeginBatch(bool writes) override;
  void EndBatch() override;

 private:
  // Inside a batch a key opened by path stays open until the batch ends, and opening the same
  // path again gives the same handle: each value then costs one call to the registry, not three.
  struct KeptKey {
    RegKey root;
    std::string path;
    std::uint32_t access;
    RegKey key;
  };
  void* turn_ = nullptr;  // the session's mutex
  int depth_ = 0;
  bool holding_ = false;
  std::vector<KeptKey> kept_;
};

}  // namespace dornava
