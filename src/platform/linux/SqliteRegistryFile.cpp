#include "platform/linux/SqliteRegistryFile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "platform/linux/SqliteStatement.h"
#include "platform/linux/UserFiles.h"
#include "store/RegData.h"

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

enum class Health { kGood, kFresh, kForeign, kBroken, kBusy };

// A lock held by another connection says nothing about the file: it is waited for, and when it
// outlasts the wait the file is left alone.
bool IsBusy(int code) {
  code &= 0xFF;
  return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

// Whether `db` holds our registry, an empty database, or something else.
Health Examine(sqlite3* db) {
  const auto failed = [db](int rc) {
    return IsBusy(rc) || IsBusy(sqlite3_errcode(db)) ? Health::kBusy : Health::kBroken;
  };
  int id = 0;
  {
    SqliteStatement applicationId(db, "PRAGMA application_id");
    if (!applicationId.Ok()) return failed(SQLITE_ERROR);
    const int rc = applicationId.Step();
    if (rc != SQLITE_ROW) return failed(rc);
    id = static_cast<int>(applicationId.Int(0));
  }
  if (id == kApplicationId) {
    SqliteStatement check(db, "PRAGMA quick_check");
    if (!check.Ok()) return failed(SQLITE_ERROR);
    const int rc = check.Step();
    if (rc != SQLITE_ROW) return failed(rc);
    return check.Text(0) == "ok" ? Health::kGood : Health::kBroken;
  }
  if (id != 0) return Health::kForeign;
  SqliteStatement tables(db, "SELECT count(*) FROM sqlite_schema");
  if (!tables.Ok()) return failed(SQLITE_ERROR);
  const int rc = tables.Step();
  if (rc != SQLITE_ROW) return failed(rc);
  return tables.Int(0) == 0 ? Health::kFresh : Health::kForeign;
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
    // A link there is not followed: its target's mode would be changed through it.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return nullptr;
    ::fchmod(fd, 0600);
    ::close(fd);
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(
          path.c_str(), &db,
          SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW,
          nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db, 0);
  return db;
}

bool CreateSchema(sqlite3* db) {
  if (!ExecSql(db, kSchema)) return false;
  SqliteStatement insertRoot(db,
                             "INSERT INTO keys(parent, root, path, fold, name) "
                             "VALUES(NULL, ?1, '', '', ?2)");
  if (!insertRoot.Ok()) return false;
  for (const RootKey& root : kRootKeys) {
    if (!insertRoot.Bind(1, static_cast<std::int64_t>(root.key)).Bind(2, root.longName).Run())
      return false;
  }
  return ExecSql(db, "PRAGMA application_id=" + std::to_string(kApplicationId) + ";" +
                         "PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";");
}

bool Setup(sqlite3* db, Health health) {
  // WAL with a full sync on commit: readers never block the writer, and a commit that returned
  // survives a power loss.
  if (!ExecSql(db, "PRAGMA journal_mode=WAL") || !ExecSql(db, "PRAGMA synchronous=FULL") ||
      !ExecSql(db, "PRAGMA foreign_keys=ON")) {
    return false;
  }
  if (health == Health::kGood) return true;
  if (!ExecSql(db, "BEGIN IMMEDIATE")) return false;
  // A peer may have set the file up while we waited for the lock.
  bool done = false;
  {
    SqliteStatement applicationId(db, "PRAGMA application_id");
    done = applicationId.Ok() && applicationId.Step() == SQLITE_ROW &&
           applicationId.Int(0) == kApplicationId;
  }
  if (done || CreateSchema(db)) {
    if (ExecSql(db, "COMMIT")) return true;
  }
  ExecSql(db, "ROLLBACK");
  return false;
}

// Closes a connection to a file that is not ours without the checkpoint a last connection
// makes on close, which would write the journal into that file and delete it.
void CloseUntouched(sqlite3* db) {
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  sqlite3_close(db);
}

bool IsLink(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

sqlite3* OpenRegistryDatabase(const std::string& path, std::string* notice) {
  if (notice) notice->clear();
  if (path != ":memory:" && !MakeRegistryFolder(path)) return nullptr;
  if (path != ":memory:" && IsLink(path)) {
    if (notice) {
      *notice = "The registry file " + path +
                " is a symbolic link, which is not followed; put the file itself there.";
    }
    return nullptr;
  }
  sqlite3* db = OpenConnection(path);
  if (!db) return nullptr;
  Health health = Examine(db);
  if (health == Health::kBroken || health == Health::kForeign) {
    CloseUntouched(db);
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
  if (health == Health::kBusy || !Setup(db, health)) {
    const bool busy = health == Health::kBusy || IsBusy(sqlite3_errcode(db));
    sqlite3_close(db);
    if (busy && notice) {
      *notice = "The registry file " + path +
                " is in use by another program; it was left as it is. Try again later.";
    }
    return nullptr;
  }
  return db;
}

}  // namespace dornava
