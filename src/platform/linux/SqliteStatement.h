// The one way the SQLite registry talks to its database: prepared statements that are checked
// when made and reset after every use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace dornava {

class SqliteStatement {
 public:
  // `persistent`: kept for the connection's life, so SQLite may keep it out of its lookaside.
  SqliteStatement(sqlite3* db, std::string_view sql, bool persistent = false);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // False when the statement could not be prepared; every step of it then fails.
  bool Ok() const { return stmt_ != nullptr; }

  SqliteStatement& Bind(int index, std::int64_t value);
  // Copied: callers bind temporaries such as a folded name.
  SqliteStatement& Bind(int index, std::string_view text);
  // An empty blob is still a blob, not NULL.
  SqliteStatement& BindBlob(int index, const std::uint8_t* data, std::uint32_t size);

  // SQLITE_ROW, SQLITE_DONE or the error.
  int Step();
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  const std::uint8_t* Blob(int column, std::uint32_t* size) const;

  // Steps once and resets; true when that step gave a row or finished.
  bool Run();
  void Reset();

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement whatever path leaves the scope.
class StatementScope {
 public:
  explicit StatementScope(SqliteStatement& statement) : statement_(statement) {}
  ~StatementScope() { statement_.Reset(); }
  StatementScope(const StatementScope&) = delete;
  StatementScope& operator=(const StatementScope&) = delete;

 private:
  SqliteStatement& statement_;
};

// Runs statements that return nothing the caller needs, e.g. "BEGIN IMMEDIATE" or a schema;
// true when all of them succeeded.
bool ExecSql(sqlite3* db, const std::string& sql);

}  // namespace dornava
