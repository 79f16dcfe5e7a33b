// What the commands need from a registry. Paths are below a root key or an open key, parts
// separated by single backslashes; "" is the root itself. Results are Win32 status numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/RegData.h"

namespace dornava::regtool {

class RegBackend {
 public:
  virtual ~RegBackend() = default;

  virtual std::int32_t Open(RegKey base, const std::string& path, RegKey* key) = 0;
  virtual std::int32_t Create(RegKey root, const std::string& path, RegKey* key) = 0;
  // Accepts what Open and Create returned, the root keys included.
  virtual void Close(RegKey key) = 0;

  // kErrorFileNotFound when the value does not exist.
  virtual std::int32_t GetValue(RegKey key, const std::string& name, RegValueRecord* value) = 0;
  virtual std::int32_t SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                const std::string& data) = 0;
  virtual std::int32_t DeleteValue(RegKey key, const std::string& name) = 0;
  // Both in the registry's order: case-insensitive, as Windows sorts (upper case).
  virtual std::int32_t Values(RegKey key, std::vector<RegValueRecord>* values) = 0;
  virtual std::int32_t SubKeys(RegKey key, std::vector<std::string>* names) = 0;
  // Deletes the key with everything below it; kErrorFileNotFound when it does not exist.
  virtual std::int32_t DeleteTree(RegKey root, const std::string& path) = 0;

  // The calls between form one write batch of the registry: all of them are kept, or, when
  // `keep` is false or the registry could not keep them, none. Returns whether they were kept.
  virtual void BeginBatch() = 0;
  virtual bool EndBatch(bool keep) = 0;
};

// Runs `body` as one batch; true when it returned true and its changes were kept.
template <class Body>
bool InOneBatch(RegBackend& backend, Body body) {
  backend.BeginBatch();
  const bool ok = body();
  return backend.EndBatch(ok);
}

// Closes a key at the end of a scope.
class KeyCloser {
 public:
  KeyCloser(RegBackend& backend, RegKey key) : backend_(backend), key_(key) {}
  ~KeyCloser() { backend_.Close(key_); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  RegBackend& backend_;
  RegKey key_;
};

}  // namespace dornava::regtool
