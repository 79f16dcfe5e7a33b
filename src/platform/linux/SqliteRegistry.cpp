#include "platform/linux/SqliteRegistry.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/linux/FoldCase.h"
#include "platform/linux/SqliteRegistryFile.h"
#include "platform/linux/SqliteStatement.h"
#include "platform/linux/UserFiles.h"

namespace dornava {

namespace {

std::int32_t CopyValue(std::uint32_t storedType, const std::uint8_t* stored, std::uint32_t length,
                       std::uint32_t* type, std::uint8_t* data, std::uint32_t* size);

std::string Join(const std::string& base, const std::string& sub) {
  if (base.empty()) return sub;
  if (sub.empty()) return base;
  return base + '\\' + sub;
}

}  // namespace

SqliteRegistry::SqliteRegistry(sqlite3* db) : db_(db) {
  for (const RootKey& root : kRootKeys) {
    roots_[root.key] = Handle{0, 0xFFFFFFFFu, root.key, {}};
  }
}

SqliteRegistry::~SqliteRegistry() {
  if (batchOpen_) ExecSql(db_, "ROLLBACK");
  Close();
}

void SqliteRegistry::Close() {
  findKey_.reset();
  insertKey_.reset();
  getValue_.reset();
  setValue_.reset();
  deleteValue_.reset();
  subKeys_.reset();
  values_.reset();
  deleteTreeValues_.reset();
  deleteTreeKeys_.reset();
  keyValues_.reset();
  sqlite3_close(db_);
}

bool SqliteRegistry::Prepare() {
  const auto prepare = [this](std::unique_ptr<SqliteStatement>* statement, std::string_view sql) {
    *statement = std::make_unique<SqliteStatement>(db_, sql, true);
    return (*statement)->Ok();
  };
  // A key and every key below it: "K" itself and everything between "K\" and "K]".
  const std::string tree = "root=?1 AND (fold=?2 OR (fold>?2||'\\' AND fold<?2||']'))";
  if (!prepare(&findKey_, "SELECT id, path FROM keys WHERE root=?1 AND fold=?2") ||
      !prepare(&insertKey_,
               "INSERT INTO keys(parent, root, path, fold, name) VALUES(?1, ?2, ?3, ?4, ?5)") ||
      !prepare(&getValue_, "SELECT type, data FROM vals WHERE key=?1 AND fold=?2") ||
      !prepare(&setValue_,
               "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
               "ON CONFLICT(key, fold) DO UPDATE SET type=excluded.type, data=excluded.data") ||
      !prepare(&deleteValue_, "DELETE FROM vals WHERE key=?1 AND fold=?2") ||
      !prepare(&subKeys_, "SELECT name FROM keys WHERE parent=?1 ORDER BY fold") ||
      !prepare(&keyValues_, "SELECT fold, type, data FROM vals WHERE key=?1") ||
      !prepare(&values_, "SELECT name, type, data FROM vals WHERE key=?1 ORDER BY fold") ||
      !prepare(&deleteTreeValues_,
               "DELETE FROM vals WHERE key IN (SELECT id FROM keys WHERE " + tree + ")") ||
      !prepare(&deleteTreeKeys_, "DELETE FROM keys WHERE " + tree)) {
    return false;
  }
  // The predefined roots, with the ids of their rows.
  for (auto& [key, handle] : roots_) {
    StatementScope use(*findKey_);
    if (findKey_->Bind(1, static_cast<std::int64_t>(key)).Bind(2, "").Step() != SQLITE_ROW)
      return false;
    handle.id = findKey_->Int(0);
  }
  return true;
}

const SqliteRegistry::Handle* SqliteRegistry::Resolve(RegKey key) const {
  if (const auto root = roots_.find(key); root != roots_.end()) return &root->second;
  const auto handle = handles_.find(key);
  return handle == handles_.end() ? nullptr : &handle->second;
}

RegKey SqliteRegistry::NewHandle(Handle handle) {
  // Small numbers that never meet the predefined roots' values.
  while (nextHandle_ == 0 || FindRootKey(nextHandle_) || handles_.count(nextHandle_))
    ++nextHandle_;
  const RegKey key = nextHandle_++;
  handles_.emplace(key, std::move(handle));
  return key;
}

std::int32_t SqliteRegistry::Failed() {
  if (batchDepth_ > 0) batchFailed_ = true;
  return kErrorRegistryIoFailed;
}

std::int32_t SqliteRegistry::FindKey(RegKey base, const char* subKey, bool create, Handle* found,
                                     bool* created) {
  const Handle* from = Resolve(base);
  if (!from) return kErrorInvalidHandle;
  std::string sub;
  if (!NormaliseKeyPath(subKey ? subKey : "", false, &sub)) return kErrorBadPathname;
  const RegKey root = from->root;
  const std::string path = Join(from->path, sub);

  if (created) *created = false;
  auto cacheKey = std::make_pair(root, FoldCase(path));
  if (const auto hit = keyCache_.find(cacheKey); hit != keyCache_.end() && !create) {
    if (hit->second.id == 0) return kErrorFileNotFound;
    *found = hit->second;
    return kErrorSuccess;
  }
  {
    StatementScope use(*findKey_);
    const int rc =
        findKey_->Bind(1, static_cast<std::int64_t>(root)).Bind(2, cacheKey.second).Step();
    if (rc == SQLITE_ROW) {
      *found = Handle{findKey_->Int(0), 0, root, findKey_->Text(1)};
      if (batchOpen_) keyCache_[std::move(cacheKey)] = *found;
      return kErrorSuccess;
    }
    if (rc != SQLITE_DONE) return Failed();
  }
  if (!create) {
    if (batchOpen_) keyCache_[std::move(cacheKey)] = Handle{0, 0, root, {}};
    return kErrorFileNotFound;
  }
  keyCache_.clear();

  // Creates each missing level below the deepest one that exists.
  std::int64_t parent = roots_.at(root).id;
  std::string prefix;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string name = path.substr(start, end - start);
    prefix = Join(prefix, name);
    const std::string fold = FoldCase(prefix);
    std::int64_t id = 0;
    {
      StatementScope use(*findKey_);
      const int rc = findKey_->Bind(1, static_cast<std::int64_t>(root)).Bind(2, fold).Step();
      if (rc == SQLITE_ROW) {
        id = findKey_->Int(0);
        prefix = findKey_->Text(1);
      } else if (rc != SQLITE_DONE) {
        return Failed();
      }
    }
    if (id == 0) {
      StatementScope use(*insertKey_);
      insertKey_->Bind(1, parent)
          .Bind(2, static_cast<std::int64_t>(root))
          .Bind(3, prefix)
          .Bind(4, fold);
      insertKey_->Bind(5, name);
      if (insertKey_->Step() != SQLITE_DONE) return Failed();
      id = sqlite3_last_insert_rowid(db_);
    }
    parent = id;
    start = end + 1;
  }
  *found = Handle{parent, 0, root, prefix};
  if (created) *created = true;
  return kErrorSuccess;
}

std::int32_t SqliteRegistry::OpenKeyEx(RegKey root, const char* subKey, std::uint32_t /*options*/,
                                       std::uint32_t access, RegKey* result) {
  if (!result) return kErrorInvalidParameter;
  *result = 0;
  Handle found;
  const std::int32_t status = FindKey(root, subKey, false, &found, nullptr);
  if (status != kErrorSuccess) return status;
  found.access = access;
  *result = NewHandle(std::move(found));
  return kErrorSuccess;
}

std::int32_t SqliteRegistry::CreateKeyEx(RegKey root, const char* subKey,
                                         std::uint32_t /*reserved*/, const char* /*keyClass*/,
                                         std::uint32_t /*options*/, std::uint32_t access,
                                         const void* /*security*/, RegKey* result,
                                         std::uint32_t* disposition) {
  if (!result) return kErrorInvalidParameter;
  *result = 0;
  if (WritesRefused()) return Failed();
  Handle found;
  bool created = false;
  // Several levels may be made: they appear together or not at all.
  Begin(true);
  const std::int32_t status = FindKey(root, subKey, true, &found, &created);
  Finish(status == kErrorSuccess);
  if (status != kErrorSuccess) return status;
  found.access = access;
  *result = NewHandle(std::move(found));
  if (disposition) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
  return kErrorSuccess;
}

std::int32_t SqliteRegistry::QueryValueEx(RegKey key, const char* name, std::uint32_t* /*reserved*/,
                                          std::uint32_t* type, std::uint8_t* data,
                                          std::uint32_t* size) {
  const Handle* handle = Resolve(key);
  if (!handle) return kErrorInvalidHandle;
  if (!(handle->access & kKeyQueryValue)) return kErrorAccessDenied;
  if (data && !size) return kErrorInvalidParameter;

  const std::string fold = FoldCase(name ? name : "");
  std::uint32_t storedType = 0;
  std::uint32_t length = 0;
  const std::uint8_t* stored = nullptr;
  if (batchOpen_) {
    auto cached = valueCache_.find(handle->id);
    if (cached == valueCache_.end()) {
      std::map<std::string, CachedValue> values;
      StatementScope use(*keyValues_);
      keyValues_->Bind(1, handle->id);
      int rc;
      while ((rc = keyValues_->Step()) == SQLITE_ROW) {
        std::uint32_t bytes = 0;
        const std::uint8_t* blob = keyValues_->Blob(2, &bytes);
        values.emplace(keyValues_->Text(0),
                       CachedValue{static_cast<std::uint32_t>(keyValues_->Int(1)),
                                   std::string(reinterpret_cast<const char*>(blob), bytes)});
      }
      if (rc != SQLITE_DONE) return Failed();
      cached = valueCache_.emplace(handle->id, std::move(values)).first;
    }
    const auto value = cached->second.find(fold);
    if (value == cached->second.end()) return kErrorFileNotFound;
    storedType = value->second.type;
    length = static_cast<std::uint32_t>(value->second.data.size());
    stored = reinterpret_cast<const std::uint8_t*>(value->second.data.data());
    return CopyValue(storedType, stored, length, type, data, size);
  }
  StatementScope use(*getValue_);
  const int rc = getValue_->Bind(1, handle->id).Bind(2, fold).Step();
  if (rc == SQLITE_DONE) return kErrorFileNotFound;
  if (rc != SQLITE_ROW) return Failed();
  storedType = static_cast<std::uint32_t>(getValue_->Int(0));
  stored = getValue_->Blob(1, &length);
  return CopyValue(storedType, stored, length, type, data, size);
}

namespace {

// Hands a stored value out as RegQueryValueExA does.
std::int32_t CopyValue(std::uint32_t storedType, const std::uint8_t* stored, std::uint32_t length,
                       std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
  if (type) *type = storedType;
  if (!data) {
    if (size) *size = length;
    return kErrorSuccess;
  }
  const std::uint32_t room = *size;
  *size = length;
  if (room < length) return kErrorMoreData;
  if (length) std::memcpy(data, stored, length);
  // Like the "A" call: unterminated text gets a zero after it when there is room, not counted.
  if (IsStringType(storedType) && room > length && (length == 0 || data[length - 1] != 0)) {
    data[length] = 0;
  }
  return kErrorSuccess;
}

}  // namespace

std::int32_t SqliteRegistry::SetValueEx(RegKey key, const char* name, std::uint32_t /*reserved*/,
                                        std::uint32_t type, const std::uint8_t* data,
                                        std::uint32_t size) {
  const Handle* handle = Resolve(key);
  if (!handle) return kErrorInvalidHandle;
  if (!(handle->access & kKeySetValue)) return kErrorAccessDenied;
  if (size && !data) return kErrorInvalidParameter;
  if (WritesRefused()) return Failed();
  const std::string valueName = name ? name : "";
  valueCache_.erase(handle->id);
  StatementScope use(*setValue_);
  setValue_->Bind(1, handle->id).Bind(2, valueName).Bind(3, FoldCase(valueName));
  setValue_->Bind(4, static_cast<std::int64_t>(type)).BindBlob(5, data, size);
  const int rc = setValue_->Step();
  if (rc == SQLITE_DONE) return kErrorSuccess;
  if (rc == SQLITE_CONSTRAINT) return kErrorKeyDeleted;
  return Failed();
}

std::int32_t SqliteRegistry::DeleteValue(RegKey key, const char* name) {
  const Handle* handle = Resolve(key);
  if (!handle) return kErrorInvalidHandle;
  if (!(handle->access & kKeySetValue)) return kErrorAccessDenied;
  if (WritesRefused()) return Failed();
  valueCache_.erase(handle->id);
  StatementScope use(*deleteValue_);
  if (deleteValue_->Bind(1, handle->id).Bind(2, FoldCase(name ? name : "")).Step() != SQLITE_DONE) {
    return Failed();
  }
  return sqlite3_changes(db_) > 0 ? kErrorSuccess : kErrorFileNotFound;
}

std::int32_t SqliteRegistry::CloseKey(RegKey key) {
  if (FindRootKey(key)) return kErrorSuccess;
  return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

bool SqliteRegistry::Begin(bool writes) {
  if (batchDepth_++ > 0) return batchOpen_;
  batchFailed_ = false;
  // Taking the write lock up front means a busy peer makes us wait, never fail half-way.
  batchOpen_ = ExecSql(db_, writes ? "BEGIN IMMEDIATE" : "BEGIN");
  return batchOpen_;
}

bool SqliteRegistry::Finish(bool keep) {
  if (!keep) batchFailed_ = true;
  if (batchDepth_ == 0) return false;
  if (--batchDepth_ > 0) return !batchFailed_;
  keyCache_.clear();
  valueCache_.clear();
  if (!batchOpen_) return false;
  batchOpen_ = false;
  // A unit with a failed step is undone whole, so the last complete state stays.
  const bool kept = !batchFailed_ && ExecSql(db_, "COMMIT");
  if (!kept) ExecSql(db_, "ROLLBACK");
  batchFailed_ = false;
  return kept;
}

void SqliteRegistry::BeginBatch(bool writes) {
  Begin(writes);
}

void SqliteRegistry::EndBatch() {
  const bool outermost = batchDepth_ == 1;
  const bool kept = Finish(true);
  if (outermost) lastBatchKept_ = kept;
}

void SqliteRegistry::AbandonBatch() {
  if (batchDepth_ > 0) batchFailed_ = true;
}

std::int32_t SqliteRegistry::EnumSubKeys(RegKey key, std::vector<std::string>* names) {
  const Handle* handle = Resolve(key);
  if (!handle) return kErrorInvalidHandle;
  names->clear();
  StatementScope use(*subKeys_);
  subKeys_->Bind(1, handle->id);
  int rc;
  while ((rc = subKeys_->Step()) == SQLITE_ROW)
    names->push_back(subKeys_->Text(0));
  return rc == SQLITE_DONE ? kErrorSuccess : Failed();
}

std::int32_t SqliteRegistry::EnumValues(RegKey key, std::vector<RegValueRecord>* values) {
  const Handle* handle = Resolve(key);
  if (!handle) return kErrorInvalidHandle;
  values->clear();
  StatementScope use(*values_);
  values_->Bind(1, handle->id);
  int rc;
  while ((rc = values_->Step()) == SQLITE_ROW) {
    std::uint32_t size = 0;
    const std::uint8_t* data = values_->Blob(2, &size);
    values->push_back(RegValueRecord{values_->Text(0), static_cast<std::uint32_t>(values_->Int(1)),
                                     std::string(reinterpret_cast<const char*>(data), size)});
  }
  return rc == SQLITE_DONE ? kErrorSuccess : Failed();
}

std::int32_t SqliteRegistry::DeleteKeyTree(RegKey root, const char* subKey) {
  keyCache_.clear();
  valueCache_.clear();
  Handle found;
  const std::int32_t status = FindKey(root, subKey, false, &found, nullptr);
  if (status != kErrorSuccess) return status;
  if (found.path.empty()) return kErrorAccessDenied;
  if (WritesRefused()) return Failed();
  const std::string fold = FoldCase(found.path);
  const auto rootId = static_cast<std::int64_t>(found.root);
  Begin(true);
  bool ok = deleteTreeValues_->Bind(1, rootId).Bind(2, fold).Run();
  ok = ok && deleteTreeKeys_->Bind(1, rootId).Bind(2, fold).Run();
  Finish(ok);
  return ok ? kErrorSuccess : Failed();
}

std::int32_t SqliteRegistry::KeyPath(RegKey key, RegKey* root, std::string* path) {
  const Handle* handle = Resolve(key);
  if (!handle) return kErrorInvalidHandle;
  *root = handle->root;
  *path = handle->path;
  return kErrorSuccess;
}

bool SqliteRegistry::InMemory() const {
  const char* file = sqlite3_db_filename(db_, "main");
  return file == nullptr || *file == '\0';
}

std::unique_ptr<SqliteRegistry> SqliteRegistry::Open(const std::string& path, std::string* notice) {
  sqlite3* db = OpenRegistryDatabase(path, notice);
  if (!db) return nullptr;
  std::unique_ptr<SqliteRegistry> registry(new SqliteRegistry(db));
  if (!registry->Prepare()) return nullptr;
  return registry;
}

std::unique_ptr<SqliteRegistry> SqliteRegistry::StandIn(const std::string& path) {
  auto registry = Open(":memory:", nullptr);
  if (registry) registry->standInFor_ = path;
  return registry;
}

bool SqliteRegistry::Reconnect() {
  if (standInFor_.empty() || batchDepth_ > 0 || !handles_.empty()) return false;
  std::string notice;
  sqlite3* db = OpenRegistryDatabase(standInFor_, &notice);
  if (!notice.empty()) std::fprintf(stderr, "dornava: %s\n", notice.c_str());
  if (!db) return false;
  Close();
  db_ = db;
  standInFor_.clear();
  return Prepare();
}

std::string DefaultRegistryPath() {
  return ConfigHome() + "/dornava/registry.db";
}

SqliteRegistry& ProcessRegistry() {
  static const std::unique_ptr<SqliteRegistry> registry = [] {
    const std::string path = DefaultRegistryPath();
    std::string notice;
    auto opened = SqliteRegistry::Open(path, &notice);
    if (!notice.empty()) std::fprintf(stderr, "dornava: %s\n", notice.c_str());
    if (!opened) {
      std::fprintf(
          stderr,
          "dornava: cannot open the registry at %s now; it is tried again before each change.\n",
          path.c_str());
      opened = SqliteRegistry::StandIn(path);
    }
    return opened;
  }();
  return *registry;
}

}  // namespace dornava
