#include "platform/linux/SqliteStatement.h"

#include <sqlite3.h>

namespace dornava {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql, bool persistent) {
  if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                         persistent ? SQLITE_PREPARE_PERSISTENT : 0, &stmt_,
                         nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(stmt_);
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
  sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
  sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, const std::uint8_t* data,
                                           std::uint32_t size) {
  static const std::uint8_t kNothing = 0;
  sqlite3_bind_blob(stmt_, index, size ? data : &kNothing, static_cast<int>(size), SQLITE_STATIC);
  return *this;
}

int SqliteStatement::Step() {
  return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE;
}

std::int64_t SqliteStatement::Int(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
              : std::string();
}

const std::uint8_t* SqliteStatement::Blob(int column, std::uint32_t* size) const {
  const void* blob = sqlite3_column_blob(stmt_, column);
  *size = static_cast<std::uint32_t>(sqlite3_column_bytes(stmt_, column));
  return static_cast<const std::uint8_t*>(blob);
}

bool SqliteStatement::Run() {
  const int rc = Step();
  Reset();
  return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

void SqliteStatement::Reset() {
  if (!stmt_) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

bool ExecSql(sqlite3* db, const std::string& sql) {
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace dornava
