// A raw registry decorator that logs every call, so tests can assert call order and counts, and
// that can stop passing calls on, as if the process had died at that point.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "store/RawRegistry.h"

namespace dornava::test {

class RecordingRegistry final : public RawRegistry {
 public:
  explicit RecordingRegistry(RawRegistry& inner, bool forwardBatches = true)
      : inner_(inner), forwardBatches_(forwardBatches) {}

  std::vector<std::string> calls;
  // Calls beyond this many are logged but not passed on and fail.
  long stopAfter = -1;
  // Runs after each call that was passed on, with the number of calls so far and its status.
  std::function<void(long, std::int32_t)> afterCall;

  std::int32_t OpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                         std::uint32_t access, RegKey* result) override {
    Log("Open " + Key(root) + " " + Text(subKey) + " " + Hex(options) + " " + Hex(access));
    if (Stopped()) return *result = 0, kErrorRegistryIoFailed;
    return Done(inner_.OpenKeyEx(root, subKey, options, access, result));
  }
  std::int32_t CreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                           const char* keyClass, std::uint32_t options, std::uint32_t access,
                           const void* security, RegKey* result,
                           std::uint32_t* disposition) override {
    Log("Create " + Key(root) + " " + Text(subKey) + " " + Hex(reserved) + " " +
        (keyClass ? "class" : "null") + " " + Hex(options) + " " + Hex(access) + " " +
        (security ? "security" : "null"));
    if (Stopped()) return *result = 0, kErrorRegistryIoFailed;
    return Done(inner_.CreateKeyEx(root, subKey, reserved, keyClass, options, access, security,
                                   result, disposition));
  }
  std::int32_t QueryValueEx(RegKey key, const char* name, std::uint32_t* reserved,
                            std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override {
    Log("Query " + Key(key) + " " + Text(name) + (reserved ? " reserved" : "") +
        (data ? " data " + std::to_string(size ? *size : 0) : " size"));
    if (Stopped()) return kErrorRegistryIoFailed;
    return Done(inner_.QueryValueEx(key, name, reserved, type, data, size));
  }
  std::int32_t SetValueEx(RegKey key, const char* name, std::uint32_t reserved, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
    Log("Set " + Key(key) + " " + Text(name) + " " + Hex(reserved) + " " + std::to_string(type) +
        " " + std::to_string(size));
    if (Stopped()) return kErrorRegistryIoFailed;
    return Done(inner_.SetValueEx(key, name, reserved, type, data, size));
  }
  std::int32_t DeleteValue(RegKey key, const char* name) override {
    Log("Delete " + Key(key) + " " + Text(name));
    if (Stopped()) return kErrorRegistryIoFailed;
    return Done(inner_.DeleteValue(key, name));
  }
  std::int32_t CloseKey(RegKey key) override {
    Log("Close " + Key(key));
    if (Stopped()) return kErrorRegistryIoFailed;
    return Done(inner_.CloseKey(key));
  }
  void BeginBatch(bool writes) override {
    if (forwardBatches_) inner_.BeginBatch(writes);
  }
  void EndBatch() override {
    if (forwardBatches_ && !Stopped()) inner_.EndBatch();
  }

  // Calls whose log line starts with `prefix`.
  long Count(const std::string& prefix) const {
    long count = 0;
    for (const auto& call : calls)
      count += call.rfind(prefix, 0) == 0;
    return count;
  }

 private:
  // Handles of opened keys are shown as "key", roots by name, 0 as "0".
  static std::string Key(RegKey key) {
    if (key == 0) return "0";
    if (key == kHkeyCurrentUser) return "HKCU";
    if (key == kHkeyLocalMachine) return "HKLM";
    return "key";
  }
  static std::string Text(const char* text) { return text ? std::string(text) : "null"; }
  static std::string Hex(std::uint32_t number) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", number);
    return text;
  }
  void Log(std::string call) { calls.push_back(std::move(call)); }
  bool Stopped() const { return stopAfter >= 0 && static_cast<long>(calls.size()) > stopAfter; }
  std::int32_t Done(std::int32_t status) {
    if (afterCall) afterCall(static_cast<long>(calls.size()), status);
    return status;
  }

  RawRegistry& inner_;
  bool forwardBatches_;
};

}  // namespace dornava::test
