#include "journal/journal_schema.h"

#include <array>
#include <string>

namespace journal {
namespace {

// Version 1: campaigns, their recipients (one message each) and every
// submission of a part.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE campaigns (
  id INTEGER PRIMARY KEY,
  created_ms INTEGER NOT NULL,
  text TEXT NOT NULL,
  flash INTEGER NOT NULL,
  ucs2 INTEGER NOT NULL,
  source_file TEXT NOT NULL,
  result_file TEXT NOT NULL,
  state TEXT NOT NULL CHECK (state IN ('running', 'finished', 'stopped'))
);
CREATE TABLE recipients (
  id INTEGER PRIMARY KEY,
  campaign_id INTEGER NOT NULL REFERENCES campaigns (id),
  list_row INTEGER NOT NULL,
  number_read TEXT NOT NULL,
  number TEXT NOT NULL,
  destination TEXT NOT NULL,
  state TEXT NOT NULL CHECK (state IN ('queued', 'sending', 'sent', 'failed', 'uncertain', 'skipped',
                                       'delivered', 'undelivered')),
  parts INTEGER NOT NULL DEFAULT 0,
  concat_reference INTEGER,
  modem TEXT NOT NULL DEFAULT '',
  note TEXT NOT NULL DEFAULT '',
  updated_ms INTEGER NOT NULL
);
CREATE INDEX recipients_by_state ON recipients (campaign_id, state, list_row);
CREATE INDEX recipients_by_row ON recipients (campaign_id, list_row);
CREATE TABLE parts (
  id INTEGER PRIMARY KEY,
  recipient_id INTEGER NOT NULL REFERENCES recipients (id),
  part_no INTEGER NOT NULL,
  state TEXT NOT NULL CHECK (state IN ('submitting', 'sent', 'failed', 'uncertain')),
  modem TEXT NOT NULL,
  reference INTEGER,
  submitted_ms INTEGER NOT NULL,
  answered_ms INTEGER,
  error TEXT NOT NULL DEFAULT ''
);
CREATE INDEX parts_by_recipient ON parts (recipient_id, part_no);
)sql";

// Version 2: a message queued again (after a crash, or resent by the
// operator) sends every part the network did not take; the part records
// from before, up to this id, are history and no longer answer for it.
constexpr const char* kVersion2 = R"sql(
ALTER TABLE recipients ADD COLUMN requeued_after_part INTEGER NOT NULL DEFAULT 0;
)sql";

constexpr std::array kMigrations{kVersion1, kVersion2};

TJournalResult<int> IntegerPragma(TSqliteConnection& connection, const char* sql) {
  TStatement* statement = connection.Prepare(sql);
  if (statement == nullptr) return connection.LastError();
  int value = 0;
  auto read = FirstRow(connection, *statement, [&](const TStatement& row) { value = static_cast<int>(row.Int(0)); });
  if (!read) return read.Error();
  return value;
}

TJournalStatus Migrate(TSqliteConnection& connection, int from) {
  for (int version = from; version < JournalSchemaVersion(); ++version) {
    if (auto done = connection.Execute(kMigrations[static_cast<size_t>(version)]); !done) return done;
  }
  const std::string setVersion = "PRAGMA user_version = " + std::to_string(JournalSchemaVersion());
  return connection.Execute(setVersion.c_str());
}

}  // namespace

std::span<const char* const> JournalMigrations() { return kMigrations; }
int JournalSchemaVersion() { return static_cast<int>(kMigrations.size()); }

TJournalStatus CheckJournal(TSqliteConnection& connection) {
  TStatement* check = connection.Prepare("PRAGMA quick_check");
  if (check == nullptr) return connection.LastError();
  int code = check->Step();
  const bool healthy = code == SQLITE_ROW && check->Text(0) == "ok" && check->Step() == SQLITE_DONE;
  check->Reset();
  if (code != SQLITE_ROW) return connection.ErrorOf(code);
  if (!healthy) return connection.ErrorOf(SQLITE_CORRUPT);

  auto version = IntegerPragma(connection, "PRAGMA user_version");
  if (!version) return version.Error();
  auto tables = IntegerPragma(connection, "SELECT COUNT(*) FROM sqlite_master");
  if (!tables) return tables.Error();
  if (*version > JournalSchemaVersion()) {
    return JournalError(TJournalFault::Newer, "Dziennik kampanii zapisała nowsza wersja programu (wersja " +
                                                  std::to_string(*version) + "); plik pozostawiono bez zmian.");
  }
  if (*version == 0 && *tables > 0) {
    return JournalError(TJournalFault::Damaged, "Plik nie jest dziennikiem kampanii; pozostawiono go bez zmian (" +
                                                    connection.File().string() + ").");
  }
  return Done();
}

TJournalStatus MigrateJournal(TSqliteConnection& connection) {
  if (auto begun = connection.Execute("BEGIN IMMEDIATE"); !begun) return begun;
  // Read again inside the transaction: another program may have migrated it meanwhile.
  auto version = IntegerPragma(connection, "PRAGMA user_version");
  TJournalStatus result = Done();
  if (!version) {
    result = version.Error();
  } else if (*version < JournalSchemaVersion()) {
    result = Migrate(connection, *version);
  }
  if (result) result = connection.Execute("COMMIT");
  if (!result) (void)connection.Execute("ROLLBACK");
  return result;
}

}  // namespace journal
