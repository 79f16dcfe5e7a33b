#include "platform/linux/SqliteRegistry.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "platform/linux/FoldCase.h"
#include "platform/linux/UserFiles.h"

namespace dornava {

namespace {

// "Dorn": tells our registry from any other SQLite file placed at the same path.
constexpr int kApplicationId = 0x446F726E;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;

constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
  id INTEGER PRIMARY KEY,
  parent INTEGER REFERENCES keys(id),
  root INTEGER NOT NULL,
  path TEXT NOT NULL,
  fold TEXT NOT NULL,
  name TEXT NOT NULL,
  UNIQUE(root, fold));
CREATE INDEX keys_parent ON keys(parent);
CREATE TABLE vals(
  key INTEGER NOT NULL REFERENCES keys(id),
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY(key, fold)) WITHOUT ROWID;
)sql";

struct Root {
  RegKey key;
  const char* name;
};
constexpr Root kRoots[] = {{kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
                           {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
                           {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
                           {kHkeyUsers, "HKEY_USERS"},
                           {kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"}};

bool IsRoot(RegKey key) {
  for (const Root& root : kRoots) {
    if (root.key == key) return true;
  }
  return false;
}

// The key path below `subKey`'s base: trailing backslashes are dropped; a leading one or an
// empty level is refused.
bool NormalisePath(const char* subKey, std::string* out) {
  std::string_view path = subKey ? subKey : "";
  while (!path.empty() && path.back() == '\\')
    path.remove_suffix(1);
  if (path.empty()) {
    out->clear();
    return true;
  }
  if (path.front() == '\\' || path.find("\\\\") != std::string_view::npos) return false;
  out->assign(path);
  return true;
}

std::int32_t CopyValue(std::uint32_t storedType, const std::uint8_t* stored, std::uint32_t length,
                       std::uint32_t* type, std::uint8_t* data, std::uint32_t* size);

std::string Join(const std::string& base, const std::string& sub) {
  if (base.empty()) return sub;
  if (sub.empty()) return base;
  return base + '\\' + sub;
}

}  // namespace

// A prepared statement, reset after every use.
class SqliteRegistry::Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ok() const { return stmt_ != nullptr; }
  Statement& Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  Statement& Bind(int index, std::string_view text) {
    // Copied: callers bind temporaries such as a folded name.
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& BindBlob(int index, const std::uint8_t* data, std::uint32_t size) {
    // An empty blob must still be a blob, not NULL.
    static const std::uint8_t kNothing = 0;
    sqlite3_bind_blob(stmt_, index, size ? data : &kNothing, static_cast<int>(size), SQLITE_STATIC);
    return *this;
  }
  int Step() { return sqlite3_step(stmt_); }
  std::int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                : std::string();
  }
  const std::uint8_t* Blob(int column, std::uint32_t* size) const {
    const void* blob = sqlite3_column_blob(stmt_, column);
    *size = static_cast<std::uint32_t>(sqlite3_column_bytes(stmt_, column));
    return static_cast<const std::uint8_t*>(blob);
  }
  // Runs to completion; true when it finished without error.
  bool Run() {
    const int rc = sqlite3_step(stmt_);
    Reset();
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
  }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

namespace {

// Resets the statement whatever path leaves the scope.
template <class Owner>
class Using {
 public:
  explicit Using(Owner& statement) : statement_(statement) {}
  ~Using() { statement_->Reset(); }
  Using(const Using&) = delete;
  Using& operator=(const Using&) = delete;

 private:
  Owner& statement_;
};

}  // namespace

SqliteRegistry::SqliteRegistry(sqlite3* db) : db_(db) {
  for (const Root& root : kRoots) {
    roots_[root.key] = Handle{0, 0xFFFFFFFFu, root.key, {}};
  }
}

SqliteRegistry::~SqliteRegistry() {
  if (batchOpen_) Exec("ROLLBACK");
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

bool SqliteRegistry::Exec(const char* sql) {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteRegistry::Prepare() {
  findKey_ =
      std::make_unique<Statement>(db_, "SELECT id, path FROM keys WHERE root=?1 AND fold=?2");
  insertKey_ = std::make_unique<Statement>(
      db_, "INSERT INTO keys(parent, root, path, fold, name) VALUES(?1, ?2, ?3, ?4, ?5)");
  getValue_ =
      std::make_unique<Statement>(db_, "SELECT type, data FROM vals WHERE key=?1 AND fold=?2");
  setValue_ = std::make_unique<Statement>(
      db_,
      "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
      "ON CONFLICT(key, fold) DO UPDATE SET type=excluded.type, data=excluded.data");
  deleteValue_ = std::make_unique<Statement>(db_, "DELETE FROM vals WHERE key=?1 AND fold=?2");
  subKeys_ =
      std::make_unique<Statement>(db_, "SELECT name FROM keys WHERE parent=?1 ORDER BY fold");
  keyValues_ = std::make_unique<Statement>(db_, "SELECT fold, type, data FROM vals WHERE key=?1");
  values_ = std::make_unique<Statement>(
      db_, "SELECT name, type, data FROM vals WHERE key=?1 ORDER BY fold");
  // A key and every key below it: "K" itself and everything between "K\" and "K]".
  constexpr const char* kTree = "root=?1 AND (fold=?2 OR (fold>?2||'\\' AND fold<?2||']'))";
  deleteTreeValues_ = std::make_unique<Statement>(
      db_, (std::string("DELETE FROM vals WHERE key IN (SELECT id FROM keys WHERE ") + kTree + ")")
               .c_str());
  deleteTreeKeys_ =
      std::make_unique<Statement>(db_, (std::string("DELETE FROM keys WHERE ") + kTree).c_str());
  for (const auto* statement :
       {&findKey_, &insertKey_, &getValue_, &setValue_, &deleteValue_, &subKeys_, &values_,
        &deleteTreeValues_, &deleteTreeKeys_, &keyValues_}) {
    if (!(*statement)->Ok()) return false;
  }
  // The predefined roots, with the ids of their rows.
  for (auto& [key, handle] : roots_) {
    Using use(findKey_);
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
  while (nextHandle_ == 0 || IsRoot(nextHandle_) || handles_.count(nextHandle_))
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
  if (!NormalisePath(subKey, &sub)) return kErrorBadPathname;
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
    Using use(findKey_);
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
      Using use(findKey_);
      const int rc = findKey_->Bind(1, static_cast<std::int64_t>(root)).Bind(2, fold).Step();
      if (rc == SQLITE_ROW) {
        id = findKey_->Int(0);
        prefix = findKey_->Text(1);
      } else if (rc != SQLITE_DONE) {
        return Failed();
      }
    }
    if (id == 0) {
      Using use(insertKey_);
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
      Using use(keyValues_);
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
  Using use(getValue_);
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
  const std::string valueName = name ? name : "";
  valueCache_.erase(handle->id);
  Using use(setValue_);
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
  valueCache_.erase(handle->id);
  Using use(deleteValue_);
  if (deleteValue_->Bind(1, handle->id).Bind(2, FoldCase(name ? name : "")).Step() != SQLITE_DONE) {
    return Failed();
  }
  return sqlite3_changes(db_) > 0 ? kErrorSuccess : kErrorFileNotFound;
}

std::int32_t SqliteRegistry::CloseKey(RegKey key) {
  if (IsRoot(key)) return kErrorSuccess;
  return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

bool SqliteRegistry::Begin(bool writes) {
  if (batchDepth_++ > 0) return batchOpen_;
  batchFailed_ = false;
  // Taking the write lock up front means a busy peer makes us wait, never fail half-way.
  batchOpen_ = Exec(writes ? "BEGIN IMMEDIATE" : "BEGIN");
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
  const bool kept = !batchFailed_ && Exec("COMMIT");
  if (!kept) Exec("ROLLBACK");
  batchFailed_ = false;
  return kept;
}

void SqliteRegistry::BeginBatch(bool writes) {
  Begin(writes);
}

void SqliteRegistry::EndBatch() {
  Finish(true);
}

bool SqliteRegistry::Transaction(const std::function<bool()>& body) {
  if (!Begin(true)) {
    Finish(false);
    return false;
  }
  return Finish(body());
}

std::int32_t SqliteRegistry::EnumSubKeys(RegKey key, std::vector<std::string>* names) {
  const Handle* handle = Resolve(key);
  if (!handle) return kErrorInvalidHandle;
  names->clear();
  Using use(subKeys_);
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
  Using use(values_);
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

namespace {

enum class Health { kGood, kFresh, kForeign, kBroken };

// Whether `db` holds our registry, an empty database, or something else.
Health Examine(sqlite3* db) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &stmt, nullptr) != SQLITE_OK) {
    const int code = sqlite3_errcode(db) & 0xFF;
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT ? Health::kBroken : Health::kForeign;
  }
  int rc = sqlite3_step(stmt);
  const int id = rc == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : 0;
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW) {
    const int code = rc & 0xFF;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED ? Health::kForeign : Health::kBroken;
  }
  if (id == kApplicationId) {
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &stmt, nullptr) != SQLITE_OK) {
      return Health::kBroken;
    }
    rc = sqlite3_step(stmt);
    const bool ok =
        rc == SQLITE_ROW &&
        std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok") == 0;
    sqlite3_finalize(stmt);
    return ok ? Health::kGood : Health::kBroken;
  }
  if (id != 0) return Health::kForeign;
  if (sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_schema", -1, &stmt, nullptr) !=
      SQLITE_OK) {
    return Health::kBroken;
  }
  rc = sqlite3_step(stmt);
  const int tables = rc == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  if (tables < 0) return Health::kBroken;
  return tables == 0 ? Health::kFresh : Health::kForeign;
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// Moves the file and its journal aside under one free name beside it; returns that name.
std::string MoveAside(const std::string& path) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string target = path + ".unreadable-" + stamp;
  for (int n = 2; Exists(target) || Exists(target + "-wal"); ++n) {
    target = path + ".unreadable-" + stamp + "-" + std::to_string(n);
  }
  if (::rename(path.c_str(), target.c_str()) != 0) return {};
  for (const char* suffix : {"-wal", "-shm"}) {
    if (Exists(path + suffix)) ::rename((path + suffix).c_str(), (target + suffix).c_str());
  }
  return target;
}

// Makes the folder for the registry, private to the user even when it already existed.
bool MakeRegistryFolder(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  const std::string folder = file.substr(0, slash);
  return MakePrivateFolder(folder) == 0 && ::chmod(folder.c_str(), 0700) == 0;
}

sqlite3* OpenConnection(const std::string& path) {
  // Memory statistics cost a global mutex on every allocation; nothing here reads them.
  static const bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
  (void)configured;
  if (path != ":memory:") {
    // Created here so it is private from its first byte; the journal files inherit the mode.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    ::fchmod(fd, 0600);
    ::close(fd);
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db, 0);
  return db;
}

bool Setup(sqlite3* db, Health health) {
  auto exec = [db](const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  };
  // WAL with a full sync on commit: readers never block the writer, and a commit that returned
  // survives a power loss.
  if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=FULL") ||
      !exec("PRAGMA foreign_keys=ON")) {
    return false;
  }
  if (health == Health::kGood) return true;
  std::string sql = "BEGIN IMMEDIATE;";
  // A peer may have set the file up while we waited for the lock.
  if (!exec(sql)) return false;
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &stmt, nullptr);
  const bool done =
      sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int(stmt, 0) == kApplicationId;
  sqlite3_finalize(stmt);
  if (done) return exec("COMMIT");
  sql = kSchema;
  for (const Root& root : kRoots) {
    sql += "INSERT INTO keys(parent, root, path, fold, name) VALUES(NULL, " +
           std::to_string(root.key) + ", '', '', '" + root.name + "');";
  }
  sql += "PRAGMA application_id=" + std::to_string(kApplicationId) + ";";
  sql += "PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";";
  if (!exec(sql) || !exec("COMMIT")) {
    exec("ROLLBACK");
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<SqliteRegistry> SqliteRegistry::Open(const std::string& path, std::string* notice) {
  if (notice) notice->clear();
  if (path != ":memory:" && !MakeRegistryFolder(path)) return nullptr;
  sqlite3* db = OpenConnection(path);
  if (!db) return nullptr;
  Health health = Examine(db);
  if (health == Health::kBroken || health == Health::kForeign) {
    sqlite3_close(db);
    if (path == ":memory:") return nullptr;
    const std::string aside = MoveAside(path);
    if (aside.empty()) return nullptr;
    if (notice) {
      *notice = "The registry file " + path + " could not be read; it was moved to " + aside +
                " and a new, empty registry was started.";
    }
    db = OpenConnection(path);
    if (!db) return nullptr;
    health = Examine(db);
  }
  if (!Setup(db, health)) {
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<SqliteRegistry> registry(new SqliteRegistry(db));
  if (!registry->Prepare()) return nullptr;
  return registry;
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
          "dornava: cannot open the registry at %s; changes in this run will not be kept.\n",
          path.c_str());
      opened = SqliteRegistry::Open(":memory:", nullptr);
    }
    return opened;
  }();
  return *registry;
}

}  // namespace dornava
