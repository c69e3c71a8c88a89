#include "journal/sqlite_connection.h"

namespace journal {
namespace {

// Pages in the log at which it is written back into the file (SQLite's own default).
constexpr int kLongLog = 1000;

}  // namespace

TStatement& TStatement::Bind(int index, std::int64_t value) {
  sqlite3_bind_int64(statement_, index, value);
  return *this;
}

TStatement& TStatement::Bind(int index, std::string_view text) {
  sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

TStatement& TStatement::Bind(int index, const std::optional<int>& value) {
  if (value) {
    sqlite3_bind_int64(statement_, index, *value);
  } else {
    sqlite3_bind_null(statement_, index);
  }
  return *this;
}

void TStatement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

std::optional<int> TStatement::OptionalInt(int column) const {
  if (IsNull(column)) return std::nullopt;
  return static_cast<int>(sqlite3_column_int64(statement_, column));
}

std::string TStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  if (text == nullptr) return {};
  return std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
}

TJournalError JournalError(TJournalFault fault, std::string_view utf8Text) {
  return {fault, platform::Utf8ToAnsi(utf8Text)};
}

TJournalResult<std::unique_ptr<TSqliteConnection>> TSqliteConnection::Open(const std::filesystem::path& file,
                                                                           bool create, const char* vfs) {
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_FULLMUTEX;
  const int code = sqlite3_open_v2(file.c_str(), &db, flags, vfs);
  std::unique_ptr<TSqliteConnection> connection(new TSqliteConnection(db, file));
  if (db == nullptr) return JournalError(TJournalFault::Io, "Brak pamięci na otwarcie dziennika kampanii.");
  sqlite3_extended_result_codes(db, 1);
  if (code != SQLITE_OK) return connection->ErrorOf(code);
  // Our hook replaces SQLite's automatic write-back.
  sqlite3_wal_hook(
      db,
      [](void* self, sqlite3*, const char*, int frames) {
        static_cast<TSqliteConnection*>(self)->logFrames_ = frames;
        return SQLITE_OK;
      },
      connection.get());
  return connection;
}

TSqliteConnection::~TSqliteConnection() {
  statements_.clear();  // every statement finalised before the connection closes
  sqlite3_close_v2(db_);
}

TJournalStatus TSqliteConnection::Execute(const char* sql) {
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) return ErrorOf(code);
  return Done();
}

TStatement* TSqliteConnection::Prepare(const char* sql) {
  auto found = statements_.find(sql);
  if (found != statements_.end()) {
    found->second->Reset();
    return found->second.get();
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) return nullptr;
  return statements_.emplace(sql, std::make_unique<TStatement>(statement)).first->second.get();
}

void TSqliteConnection::WriteBackLogWhenLong() {
  if (logFrames_ < kLongLog) return;
  sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
  logFrames_ = 0;
}

TJournalError TSqliteConnection::ErrorOf(int code) const {
  const std::string where = " (" + file_.string() + ")";
  switch (code & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return JournalError(TJournalFault::Damaged,
                          "Dziennik kampanii jest uszkodzony; plik pozostawiono bez zmian" + where + ".");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return JournalError(TJournalFault::Locked,
                          "Dziennik kampanii jest zajęty przez inny program; spróbuj ponownie za chwilę" + where + ".");
    case SQLITE_FULL:
      return JournalError(TJournalFault::DiskFull, "Brak miejsca na dysku na dziennik kampanii" + where + ".");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH:
      return JournalError(TJournalFault::NoAccess, "Nie można otworzyć dziennika kampanii do zapisu" + where + ".");
    default:
      return JournalError(TJournalFault::Io, "Błąd zapisu lub odczytu dziennika kampanii: " +
                                                 std::string(sqlite3_errstr(code)) + where + ".");
  }
}

}  // namespace journal
