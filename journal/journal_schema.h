#pragma once
// The journal's tables, as a list of migrations: migration i takes a journal
// from version i to version i + 1 (PRAGMA user_version holds the version).
// A migration is never changed once released; a new column or table is a new
// migration at the end of the list.
//
// The SQL is plain: integer ids, texts, integers for flags and times, CHECK
// lists for the states, so that a server database can hold the same tables.
//
// Threads: one connection at a time.

#include <span>

#include "journal/journal_error.h"
#include "journal/sqlite_connection.h"

namespace journal {

// Every migration; its size is the version this program writes.
std::span<const char* const> JournalMigrations();
int JournalSchemaVersion();

// Reads an existing file without writing to it: refuses a damaged one (not a
// database, or its pages fail the quick check), one of a newer version, and a
// database that holds tables without being a journal.
TJournalStatus CheckJournal(TSqliteConnection& connection);

// Brings a checked journal to JournalSchemaVersion() in one transaction.
TJournalStatus MigrateJournal(TSqliteConnection& connection);

}  // namespace journal
