// A raw registry decorator that logs every call ("Open <key>", "Set <name>", "Close", ...), so
// tests can check the order of changes, and can look at the registry after each call.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "store/RawRegistry.h"

namespace dornava::test {

class RecordingRegistry final : public RawRegistry {
 public:
  // Without batches passed on, the registry behaves as one without transactions (Windows').
  explicit RecordingRegistry(RawRegistry& inner, bool forwardBatches = true)
      : inner_(inner), forwardBatches_(forwardBatches) {}

  std::vector<std::string> calls;
  // Runs after each call with the number of calls so far and its status.
  std::function<void(long, std::int32_t)> afterCall;

  std::int32_t OpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                         std::uint32_t access, RegKey* result) override {
    calls.push_back("Open " + Text(subKey));
    return Done(inner_.OpenKeyEx(root, subKey, options, access, result));
  }
  std::int32_t CreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                           const char* keyClass, std::uint32_t options, std::uint32_t access,
                           const void* security, RegKey* result,
                           std::uint32_t* disposition) override {
    calls.push_back("Create " + Text(subKey));
    return Done(inner_.CreateKeyEx(root, subKey, reserved, keyClass, options, access, security,
                                   result, disposition));
  }
  std::int32_t QueryValueEx(RegKey key, const char* name, std::uint32_t* reserved,
                            std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override {
    calls.push_back("Query " + Text(name));
    return Done(inner_.QueryValueEx(key, name, reserved, type, data, size));
  }
  std::int32_t SetValueEx(RegKey key, const char* name, std::uint32_t reserved, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
    calls.push_back("Set " + Text(name));
    return Done(inner_.SetValueEx(key, name, reserved, type, data, size));
  }
  std::int32_t DeleteValue(RegKey key, const char* name) override {
    calls.push_back("Delete " + Text(name));
    return Done(inner_.DeleteValue(key, name));
  }
  std::int32_t CloseKey(RegKey key) override {
    calls.push_back("Close");
    return Done(inner_.CloseKey(key));
  }
  void BeginBatch(bool writes) override {
    if (forwardBatches_) inner_.BeginBatch(writes);
  }
  void EndBatch() override {
    if (forwardBatches_) inner_.EndBatch();
  }
  bool Reconnect() override { return inner_.Reconnect(); }

  // Calls whose log line starts with `prefix`.
  long Count(const std::string& prefix) const {
    long count = 0;
    for (const auto& call : calls)
      count += call.rfind(prefix, 0) == 0;
    return count;
  }

 private:
  static std::string Text(const char* text) { return text ? std::string(text) : "null"; }
  std::int32_t Done(std::int32_t status) {
    if (afterCall) afterCall(static_cast<long>(calls.size()), status);
    return status;
  }

  RawRegistry& inner_;
  bool forwardBatches_;
};

}  // namespace dornava::test
