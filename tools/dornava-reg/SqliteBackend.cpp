#include "SqliteBackend.h"

namespace dornava::regtool {

std::int32_t SqliteBackend::Open(RegKey base, const std::string& path, RegKey* key) {
  return registry_.OpenKeyEx(base, path.c_str(), 0, kKeyAccess, key);
}

std::int32_t SqliteBackend::Create(RegKey root, const std::string& path, RegKey* key) {
  std::uint32_t disposition = 0;
  return registry_.CreateKeyEx(root, path.c_str(), 0, nullptr, 0, kKeyAccess, nullptr, key,
                               &disposition);
}

void SqliteBackend::Close(RegKey key) {
  registry_.CloseKey(key);
}

std::int32_t SqliteBackend::GetValue(RegKey key, const std::string& name, RegValueRecord* value) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::int32_t rc = registry_.QueryValueEx(key, name.c_str(), nullptr, &type, nullptr, &size);
  // The value may grow between the two calls when another process writes it.
  for (int attempt = 0; rc == kErrorSuccess && attempt < 8; ++attempt) {
    std::string data(size, '\0');
    std::uint32_t got = size;
    rc = registry_.QueryValueEx(key, name.c_str(), nullptr, &type,
                                reinterpret_cast<std::uint8_t*>(data.data()), &got);
    if (rc == kErrorMoreData) {
      size = got;
      rc = kErrorSuccess;
      continue;
    }
    if (rc != kErrorSuccess) break;
    data.resize(got);
    value->name = name;
    value->type = type;
    value->data = std::move(data);
    return kErrorSuccess;
  }
  return rc == kErrorSuccess ? kErrorMoreData : rc;
}

std::int32_t SqliteBackend::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                     const std::string& data) {
  return registry_.SetValueEx(key, name.c_str(), 0, type,
                              reinterpret_cast<const std::uint8_t*>(data.data()),
                              static_cast<std::uint32_t>(data.size()));
}

std::int32_t SqliteBackend::DeleteValue(RegKey key, const std::string& name) {
  return registry_.DeleteValue(key, name.c_str());
}

std::int32_t SqliteBackend::Values(RegKey key, std::vector<RegValueRecord>* values) {
  return registry_.EnumValues(key, values);
}

std::int32_t SqliteBackend::SubKeys(RegKey key, std::vector<std::string>* names) {
  return registry_.Inner().EnumSubKeys(key, names);
}

std::int32_t SqliteBackend::DeleteTree(RegKey root, const std::string& path) {
  return registry_.DeleteKeyTree(root, path.c_str());
}

void SqliteBackend::BeginBatch() {
  registry_.BeginBatch(true);
}

bool SqliteBackend::EndBatch(bool keep) {
  if (!keep) registry_.Inner().AbandonBatch();
  registry_.EndBatch();
  return keep && registry_.Inner().LastBatchKept();
}

}  // namespace dornava::regtool
