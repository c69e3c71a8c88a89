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
  Read,  // one consistent snapshot for several statements
  // Writes take the write lock at once, so that two programs never deadlock
  // upgrading a read to a write.
  Write,  // synced before it returns (the connection's synchronous=FULL)
  // Not synced itself: the log keeps commits in order, so the next synced
  // commit carries it to the disk with its own. A crash of the program
  // loses nothing; a power cut may lose it, which must leave the journal on
  // the safe side (an answer lost leaves its part uncertain). The store
  // writes its log back into the file after these (never before a
  // submission, whose PDU is waiting).
  OrderedWrite,
};

template <class Operation>
auto RunTransaction(TSqliteConnection& connection, TTransactionKind kind, Operation operation)
    -> decltype(operation()) {
  // Set for every write, not restored after one: a write that must be synced
  // never depends on an earlier one having put the setting back.
  if (kind != TTransactionKind::Read) {
    const bool synced = kind == TTransactionKind::Write;
    if (auto set = connection.Execute(synced ? "PRAGMA synchronous = FULL" : "PRAGMA synchronous = NORMAL"); !set) {
      return set.Error();
    }
  }
  if (auto begun = connection.Execute(kind == TTransactionKind::Read ? "BEGIN" : "BEGIN IMMEDIATE"); !begun) {
    return begun.Error();
  }
  auto result = operation();
  if (result) {
    if (auto committed = connection.Execute("COMMIT"); !committed) result = committed.Error();
  }
  if (connection.InTransaction()) (void)connection.Execute("ROLLBACK");
  if (kind == TTransactionKind::OrderedWrite) connection.WriteBackLogWhenLong();
  return result;
}

}  // namespace journal
