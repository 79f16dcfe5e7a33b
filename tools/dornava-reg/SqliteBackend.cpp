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

std::int32_t SqliteBackend::GetValue(RegKey key, const std::string& name, RegEntry* value) {
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

std::int32_t SqliteBackend::Values(RegKey key, std::vector<RegEntry>* values) {
  std::vector<RegValueRecord> records;
  const std::int32_t rc = registry_.EnumValues(key, &records);
  values->clear();
  for (RegValueRecord& r : records) {
    values->push_back(RegEntry{std::move(r.name), r.type, std::move(r.data)});
  }
  return rc;
}

std::int32_t SqliteBackend::SubKeys(RegKey key, std::vector<std::string>* names) {
  return registry_.EnumSubKeys(key, names);
}

std::int32_t SqliteBackend::DeleteTree(RegKey root, const std::string& path) {
  return registry_.DeleteKeyTree(root, path.c_str());
}

bool SqliteBackend::Transaction(const std::function<bool()>& body) {
  return registry_.Transaction(body);
}

}  // namespace dornava::regtool
