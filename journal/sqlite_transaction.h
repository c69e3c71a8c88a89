#pragma once
// Runs one journal operation as one transaction: committed when the
// operation returns a value, rolled back when it returns an error or the
// commit fails. SQLite may already have rolled back by itself (a full disk,
// an I/O error); the rollback is then skipped.
//
// Threads: the caller holds the store's lock.

#include "journal/journal_error.h"
#include "journal/sqlite_connection.h"

namespace journal {

enum class TTransactionKind {
  Read,   // one consistent snapshot for several statements
  Write,  // takes the write lock at once, so that two programs never deadlock upgrading
};

template <class Operation>
auto RunTransaction(TSqliteConnection& connection, TTransactionKind kind, Operation operation)
    -> decltype(operation()) {
  if (auto begun = connection.Execute(kind == TTransactionKind::Write ? "BEGIN IMMEDIATE" : "BEGIN"); !begun) {
    return begun.Error();
  }
  auto result = operation();
  if (result) {
    if (auto committed = connection.Execute("COMMIT"); !committed) result = committed.Error();
  }
  if (connection.InTransaction()) (void)connection.Execute("ROLLBACK");
  return result;
}

// Steps a statement that returns no rows.
inline TJournalStatus Run(TSqliteConnection& connection, TStatement& statement) {
  const int code = statement.Step();
  statement.Reset();
  if (code != SQLITE_DONE) return connection.ErrorOf(code);
  return Done();
}

}  // namespace journal
