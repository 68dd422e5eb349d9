#pragma once
// A prepared SQLite statement that finalises itself, with text bound by
// length (so any byte, a quote or a NUL, is data and never SQL).
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "JobDatabase.h"

namespace qv::jobs {

[[noreturn]] inline void ThrowSqlite(sqlite3* db, std::string_view what) {
  throw DatabaseError(std::string(what) + ": " + sqlite3_errmsg(db));
}

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) ThrowSqlite(db, "prepare");
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int i, std::string_view text) {
    Check(sqlite3_bind_text64(stmt_, i, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
  }
  Statement& Bind(int i, double v) {
    Check(sqlite3_bind_double(stmt_, i, v));
    return *this;
  }
  Statement& Bind(int i, std::int64_t v) {
    Check(sqlite3_bind_int64(stmt_, i, v));
    return *this;
  }
  Statement& Bind(int i, int v) { return Bind(i, static_cast<std::int64_t>(v)); }
  Statement& Bind(int i, bool v) { return Bind(i, static_cast<std::int64_t>(v ? 1 : 0)); }

  // True while there is a row; throws on an error.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    ThrowSqlite(db_, "step");
  }
  void Run() {
    Step();
    sqlite3_reset(stmt_);
  }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

  [[nodiscard]] std::string Text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))) : std::string();
  }
  [[nodiscard]] double Double(int col) const { return sqlite3_column_double(stmt_, col); }
  [[nodiscard]] std::int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }

 private:
  void Check(int rc) {
    if (rc != SQLITE_OK) ThrowSqlite(db_, "bind");
  }
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE on construction (the write lock at once, so that two
// writers wait for each other instead of failing), ROLLBACK unless committed.
class WriteTransaction {
 public:
  explicit WriteTransaction(sqlite3* db) : db_(db) {
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) ThrowSqlite(db, "begin");
  }
  ~WriteTransaction() {
    if (!done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  void Commit() {
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) ThrowSqlite(db_, "commit");
    done_ = true;
  }

 private:
  sqlite3* db_;
  bool done_ = false;
};

}  // namespace qv::jobs
