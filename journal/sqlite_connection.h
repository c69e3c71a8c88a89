#pragma once
// One SQLite connection with its prepared statements, and the translation of
// SQLite's result codes into journal faults with reasons in words. Only
// journal/ talks to SQLite, through this.
//
// Threads: one thread at a time (the store holds the lock).

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "journal/journal_error.h"

namespace journal {

// A prepared statement, reset (bindings cleared) every time it is handed out.
class TStatement {
 public:
  explicit TStatement(sqlite3_stmt* statement) : statement_(statement) {}
  ~TStatement() { sqlite3_finalize(statement_); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  // Parameters count from 1, as in SQL.
  TStatement& Bind(int index, std::int64_t value);
  TStatement& Bind(int index, std::string_view text);
  TStatement& Bind(int index, const std::optional<int>& value);  // nullopt: NULL
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step() { return sqlite3_step(statement_); }
  void Reset();

  std::int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
  std::optional<int> OptionalInt(int column) const;
  std::string Text(int column) const;
  bool IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

 private:
  sqlite3_stmt* statement_;
};

class TSqliteConnection {
 public:
  // `vfs` null: the default. Creates the file only when `create`.
  static TJournalResult<std::unique_ptr<TSqliteConnection>> Open(const std::filesystem::path& file, bool create,
                                                                 const char* vfs);
  ~TSqliteConnection();
  TSqliteConnection(const TSqliteConnection&) = delete;
  TSqliteConnection& operator=(const TSqliteConnection&) = delete;

  sqlite3* Handle() const { return db_; }
  const std::filesystem::path& File() const { return file_; }

  // Statements without results (pragmas that answer are read through Prepare).
  TJournalStatus Execute(const char* sql);
  // The statement of this text, prepared once and reset for reuse; null when
  // it could not be prepared (LastError() says why).
  TStatement* Prepare(const char* sql);

  // The fault of an SQLite result code, with its reason in words.
  TJournalError ErrorOf(int code) const;
  TJournalError LastError() const { return ErrorOf(sqlite3_extended_errcode(db_)); }
  // Rows changed by the last INSERT, UPDATE or DELETE.
  int Changes() const { return sqlite3_changes(db_); }
  bool InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

  // SQLite writes its log back into the file (a checkpoint: two syncs) on
  // the commit that makes the log long, which may be a submission whose PDU
  // waits. The connection does it only when asked, after a commit nothing
  // waits for; failures are left to the next time.
  void WriteBackLogWhenLong();

 private:
  TSqliteConnection(sqlite3* db, std::filesystem::path file) : db_(db), file_(std::move(file)) {}

  sqlite3* db_;
  std::filesystem::path file_;
  std::map<const char*, std::unique_ptr<TStatement>> statements_;  // keyed by the SQL's literal
  int logFrames_ = 0;                                              // pages in the log after the last commit
};

// Steps a statement to its first row, hands it to `row` and resets the
// statement; false when there was no row.
template <class Row>
TJournalResult<bool> FirstRow(TSqliteConnection& connection, TStatement& statement, Row row) {
  const int code = statement.Step();
  if (code == SQLITE_ROW) row(statement);
  statement.Reset();
  if (code == SQLITE_DONE) return false;
  if (code != SQLITE_ROW) return connection.ErrorOf(code);
  return true;
}

// Steps a statement through its rows, handing each to `row`, and resets it.
template <class Row>
TJournalStatus ForEachRow(TSqliteConnection& connection, TStatement& statement, Row row) {
  int code = SQLITE_ROW;
  while ((code = statement.Step()) == SQLITE_ROW) row(statement);
  statement.Reset();
  if (code != SQLITE_DONE) return connection.ErrorOf(code);
  return Done();
}

// Steps a statement that returns no rows.
inline TJournalStatus Run(TSqliteConnection& connection, TStatement& statement) {
  const int code = statement.Step();
  statement.Reset();
  if (code != SQLITE_DONE) return connection.ErrorOf(code);
  return Done();
}

// The reason of an error outside an open connection.
TJournalError JournalError(TJournalFault fault, std::string_view utf8Text);

}  // namespace journal
