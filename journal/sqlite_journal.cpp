#include "journal/sqlite_journal.h"

#include <chrono>
#include <string>

#include "journal/journal_schema.h"
#include "journal/sqlite_transaction.h"
#include "platform/program_dir.h"

namespace journal {
namespace {

using platform::AnsiToUtf8;
using platform::Utf8ToAnsi;

TJournalError NoSuchRecipient(TRecipientId recipient) {
  return JournalError(TJournalFault::NotFound,
                      "Brak odbiorcy nr " + std::to_string(recipient) + " w dzienniku kampanii.");
}

TJournalError Refused(const std::string& utf8Text) { return JournalError(TJournalFault::Refused, utf8Text); }

// The journal's settings on every connection: a write-ahead log whose every
// commit is synced, and the references between tables enforced.
TJournalStatus Configure(TSqliteConnection& connection) {
  TStatement* mode = connection.Prepare("PRAGMA journal_mode = WAL");
  if (mode == nullptr) return connection.LastError();
  std::string name;
  auto read = FirstRow(connection, *mode, [&](const TStatement& row) { name = row.Text(0); });
  if (!read) return read.Error();
  if (name != "wal") return connection.ErrorOf(SQLITE_CANTOPEN);
  if (auto done = connection.Execute("PRAGMA synchronous = FULL"); !done) return done;
  return connection.Execute("PRAGMA foreign_keys = ON");
}

}  // namespace

std::filesystem::path TSqliteJournal::DefaultFile() { return platform::ProgramDirectory() / "journal.sqlite"; }

TJournalResult<std::unique_ptr<TSqliteJournal>> TSqliteJournal::Open(const std::filesystem::path& file,
                                                                     TSqliteJournalOptions options) {
  std::error_code error;
  const bool exists = std::filesystem::exists(file, error);
  auto connection = TSqliteConnection::Open(file, !exists, options.vfs);
  if (!connection) return connection.Error();
  TSqliteConnection& opened = **connection;
  sqlite3_busy_timeout(opened.Handle(), options.busyTimeoutMs);
  // Until the file has passed its check, closing must not write a logged
  // change back into it.
  sqlite3_db_config(opened.Handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  if (exists) {
    if (auto checked = CheckJournal(opened); !checked) return checked.Error();
  }
  if (auto configured = Configure(opened); !configured) return configured.Error();
  if (auto migrated = MigrateJournal(opened); !migrated) return migrated.Error();
  sqlite3_db_config(opened.Handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
  return std::unique_ptr<TSqliteJournal>(new TSqliteJournal(std::move(*connection), std::move(options)));
}

TSqliteJournal::TSqliteJournal(std::unique_ptr<TSqliteConnection> connection, TSqliteJournalOptions options)
    : connection_(std::move(connection)), options_(std::move(options)) {}

TMillis TSqliteJournal::Now() const {
  if (options_.clock) return options_.clock();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

TJournalResult<TCampaignId> TSqliteJournal::CreateCampaign(const TNewCampaign& campaign,
                                                           const std::vector<TRecipientEntry>& recipients) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::Write, [&]() -> TJournalResult<TCampaignId> {
    const TMillis now = Now();
    TStatement* insert = db.Prepare(
        "INSERT INTO campaigns (created_ms, text, flash, ucs2, source_file, result_file, state) "
        "VALUES (?, ?, ?, ?, ?, ?, 'running') RETURNING id");
    if (insert == nullptr) return db.LastError();
    insert->Bind(1, now).Bind(2, AnsiToUtf8(campaign.text)).Bind(3, campaign.flash ? 1 : 0);
    insert->Bind(4, campaign.ucs2 ? 1 : 0).Bind(5, campaign.sourceFile).Bind(6, campaign.resultFile);
    TCampaignId id = 0;
    auto inserted = FirstRow(db, *insert, [&](const TStatement& row) { id = row.Int(0); });
    if (!inserted) return inserted.Error();

    TStatement* add = db.Prepare(
        "INSERT INTO recipients (campaign_id, list_row, number_read, number, destination, state, updated_ms) "
        "VALUES (?, ?, ?, ?, ?, 'queued', ?)");
    if (add == nullptr) return db.LastError();
    for (const TRecipientEntry& recipient : recipients) {
      add->Reset();
      add->Bind(1, id).Bind(2, recipient.row).Bind(3, AnsiToUtf8(recipient.numberRead));
      add->Bind(4, recipient.number).Bind(5, recipient.destination).Bind(6, now);
      if (auto added = Run(db, *add); !added) return added.Error();
    }
    return id;
  });
}

TJournalStatus TSqliteJournal::SetCampaignState(TCampaignId campaign, TCampaignState state) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::Write, [&]() -> TJournalStatus {
    TStatement* update = db.Prepare("UPDATE campaigns SET state = ? WHERE id = ?");
    if (update == nullptr) return db.LastError();
    update->Bind(1, StateName(state)).Bind(2, campaign);
    if (auto record = ReadCampaign(campaign); !record) return record.Error();
    return Run(db, *update);
  });
}

TJournalResult<std::optional<TMessageJob>> TSqliteJournal::TakeNext(TCampaignId campaign, const std::string& modem) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  using Result = TJournalResult<std::optional<TMessageJob>>;
  return RunTransaction(db, TTransactionKind::OrderedWrite, [&]() -> Result {
    auto record = ReadCampaign(campaign);
    if (!record) return record.Error();
    if (record->state != TCampaignState::Running) {
      return Refused("Kampania nr " + std::to_string(campaign) + " nie jest prowadzona (" +
                     std::string(StateName(record->state)) + ").");
    }
    TStatement* next = db.Prepare(
        "SELECT id, list_row, number_read, number, destination, parts, concat_reference FROM recipients "
        "WHERE campaign_id = ? AND state = 'queued' AND (modem = '' OR modem = ?) ORDER BY list_row, id LIMIT 1");
    if (next == nullptr) return db.LastError();
    next->Bind(1, campaign).Bind(2, modem);
    TMessageJob job;
    auto found = FirstRow(db, *next, [&](const TStatement& row) {
      job.id = row.Int(0);
      job.entry = {static_cast<int>(row.Int(1)), Utf8ToAnsi(row.Text(2)), row.Text(3), row.Text(4)};
      job.parts = static_cast<int>(row.Int(5));
      job.concatReference = row.OptionalInt(6);
    });
    if (!found) return found.Error();
    if (!*found) return std::optional<TMessageJob>();

    auto answered = AnsweredParts(job.id);
    if (!answered) return answered.Error();
    job.answered = std::move(*answered);
    TStatement* take = db.Prepare("UPDATE recipients SET state = 'sending', modem = ?, updated_ms = ? WHERE id = ?");
    if (take == nullptr) return db.LastError();
    take->Bind(1, modem).Bind(2, Now()).Bind(3, job.id);
    if (auto taken = Run(db, *take); !taken) return taken.Error();
    return std::optional<TMessageJob>(std::move(job));
  });
}

TJournalStatus TSqliteJournal::RecordSubmitting(const TPartSubmission& part) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::Write, [&]() -> TJournalStatus {
    auto message = ReadMessage(part.recipient);
    if (!message) return message.Error();
    const std::string to = " (" + message->destination + ")";
    if (message->state != TMessageState::Sending) {
      return Refused("Wiadomość" + to + " nie jest w trakcie wysyłania (" + std::string(StateName(message->state)) +
                     "); części nie wysłano.");
    }
    if (message->modem != part.modem) {
      return Refused("Wiadomość" + to + " wysyła inny modem (" + message->modem + "); części nie wysłano.");
    }
    const bool partsFixed = message->parts > 0;
    if (part.parts < 1 || part.partNo < 1 || part.partNo > part.parts ||
        (partsFixed && (part.parts != message->parts || part.concatReference != message->concatReference))) {
      return Refused("Część " + std::to_string(part.partNo) + "/" + std::to_string(part.parts) +
                     " nie pasuje do wiadomości" + to + "; części nie wysłano.");
    }
    TStatement* taken = db.Prepare(
        "SELECT COUNT(*) FROM parts WHERE recipient_id = ? AND part_no = ? AND state IN ('submitting', 'sent', "
        "'failed')");
    if (taken == nullptr) return db.LastError();
    taken->Bind(1, part.recipient).Bind(2, part.partNo);
    std::int64_t already = 0;
    auto counted = FirstRow(db, *taken, [&](const TStatement& row) { already = row.Int(0); });
    if (!counted) return counted.Error();
    if (already > 0) {
      return Refused("Część " + std::to_string(part.partNo) + " wiadomości" + to +
                     " została już przekazana modemowi; nie wysłano jej ponownie.");
    }

    const TMillis now = Now();
    if (!partsFixed) {
      TStatement* fix =
          db.Prepare("UPDATE recipients SET parts = ?, concat_reference = ?, updated_ms = ? WHERE id = ?");
      if (fix == nullptr) return db.LastError();
      fix->Bind(1, part.parts).Bind(2, part.concatReference).Bind(3, now).Bind(4, part.recipient);
      if (auto fixed = Run(db, *fix); !fixed) return fixed;
    }
    TStatement* insert = db.Prepare(
        "INSERT INTO parts (recipient_id, part_no, state, modem, submitted_ms) VALUES (?, ?, 'submitting', ?, ?)");
    if (insert == nullptr) return db.LastError();
    insert->Bind(1, part.recipient).Bind(2, part.partNo).Bind(3, part.modem).Bind(4, now);
    return Run(db, *insert);
  });
}

TJournalResult<TMessageState> TSqliteJournal::RecordAnswer(const TPartAnswer& answer) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::OrderedWrite, [&]() -> TJournalResult<TMessageState> {
    TStatement* find = db.Prepare(
        "SELECT p.id FROM parts p JOIN recipients r ON r.id = p.recipient_id "
        "WHERE p.recipient_id = ? AND p.part_no = ? AND p.state = 'submitting' AND r.state = 'sending'");
    if (find == nullptr) return db.LastError();
    find->Bind(1, answer.recipient).Bind(2, answer.partNo);
    std::int64_t partId = 0;
    auto found = FirstRow(db, *find, [&](const TStatement& row) { partId = row.Int(0); });
    if (!found) return found.Error();
    if (!*found) {
      return Refused("Część " + std::to_string(answer.partNo) + " wiadomości nr " + std::to_string(answer.recipient) +
                     " nie czeka na odpowiedź modemu.");
    }

    TStatement* settle =
        db.Prepare("UPDATE parts SET state = ?, reference = ?, answered_ms = ?, error = ? WHERE id = ?");
    if (settle == nullptr) return db.LastError();
    const TPartState state =
        answer.sent ? TPartState::Sent : (answer.uncertain ? TPartState::Uncertain : TPartState::Failed);
    settle->Bind(1, StateName(state));
    settle->Bind(2, answer.sent ? answer.reference : std::nullopt).Bind(3, Now());
    settle->Bind(4, AnsiToUtf8(answer.error)).Bind(5, partId);
    if (auto settled = Run(db, *settle); !settled) return settled.Error();
    return CompleteIfAnswered(answer.recipient);
  });
}

TJournalStatus TSqliteJournal::MarkSkipped(TRecipientId recipient, const platform::AnsiString& reason) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::Write, [&]() -> TJournalStatus {
    auto message = ReadMessage(recipient);
    if (!message) return message.Error();
    if (!IsAllowedTransition(message->state, TMessageState::Skipped)) {
      return RefusedChange(*message, TMessageState::Skipped);
    }
    TStatement* skip = db.Prepare("UPDATE recipients SET state = 'skipped', note = ?, updated_ms = ? WHERE id = ?");
    if (skip == nullptr) return db.LastError();
    skip->Bind(1, AnsiToUtf8(reason)).Bind(2, Now()).Bind(3, recipient);
    return Run(db, *skip);
  });
}

TJournalResult<TSqliteJournal::TMessageRow> TSqliteJournal::ReadMessage(TRecipientId recipient) {
  TSqliteConnection& db = *connection_;
  TStatement* read =
      db.Prepare("SELECT state, modem, parts, concat_reference, destination FROM recipients WHERE id = ?");
  if (read == nullptr) return db.LastError();
  read->Bind(1, recipient);
  TMessageRow message;
  std::optional<TMessageState> state;
  auto found = FirstRow(db, *read, [&](const TStatement& row) {
    state = MessageStateNamed(row.Text(0));
    message.modem = row.Text(1);
    message.parts = static_cast<int>(row.Int(2));
    message.concatReference = row.OptionalInt(3);
    message.destination = row.Text(4);
  });
  if (!found) return found.Error();
  if (!*found) return NoSuchRecipient(recipient);
  if (!state) return db.ErrorOf(SQLITE_CORRUPT);  // a state this program does not know
  message.state = *state;
  return message;
}

TJournalError TSqliteJournal::RefusedChange(const TMessageRow& message, TMessageState to) const {
  return Refused("Wiadomości (" + message.destination + ") nie można zmienić ze stanu " +
                 std::string(StateName(message.state)) + " na " + std::string(StateName(to)) + ".");
}

TJournalResult<std::vector<int>> TSqliteJournal::AnsweredParts(TRecipientId recipient) {
  TSqliteConnection& db = *connection_;
  TStatement* read = db.Prepare(
      "SELECT DISTINCT part_no FROM parts WHERE recipient_id = ? AND state IN ('sent', 'failed') ORDER BY part_no");
  if (read == nullptr) return db.LastError();
  read->Bind(1, recipient);
  std::vector<int> parts;
  auto done = ForEachRow(db, *read, [&](const TStatement& row) { parts.push_back(static_cast<int>(row.Int(0))); });
  if (!done) return done.Error();
  return parts;
}

TJournalResult<TMessageState> TSqliteJournal::CompleteIfAnswered(TRecipientId recipient) {
  TSqliteConnection& db = *connection_;
  auto message = ReadMessage(recipient);
  if (!message) return message.Error();
  // The latest submission of each part decides: a part answered uncertain
  // counts as answered (nothing more will come for it), while an uncertain
  // part the operator had resent counts by its new submission.
  TStatement* count = db.Prepare(
      "SELECT COUNT(*), COALESCE(SUM(CASE WHEN state = 'failed' THEN 1 ELSE 0 END), 0), "
      "COALESCE(SUM(CASE WHEN state = 'uncertain' THEN 1 ELSE 0 END), 0) "
      "FROM parts p WHERE recipient_id = ? AND state IN ('sent', 'failed', 'uncertain') "
      "AND id = (SELECT MAX(id) FROM parts q WHERE q.recipient_id = p.recipient_id AND q.part_no = p.part_no)");
  if (count == nullptr) return db.LastError();
  count->Bind(1, recipient);
  std::int64_t answered = 0, failed = 0, uncertain = 0;
  auto counted = FirstRow(db, *count, [&](const TStatement& row) {
    answered = row.Int(0);
    failed = row.Int(1);
    uncertain = row.Int(2);
  });
  if (!counted) return counted.Error();
  if (message->state != TMessageState::Sending || message->parts == 0 || answered < message->parts) {
    return message->state;
  }
  // A part in doubt may have reached the phone: the message must not be
  // sent again without the operator's word, even though the parts after it
  // were given up (failed) because of it.
  const TMessageState outcome = uncertain > 0 ? TMessageState::Uncertain
                                : failed > 0  ? TMessageState::Failed
                                              : TMessageState::Sent;
  TStatement* complete = db.Prepare("UPDATE recipients SET state = ?, updated_ms = ? WHERE id = ?");
  if (complete == nullptr) return db.LastError();
  complete->Bind(1, StateName(outcome)).Bind(2, Now()).Bind(3, recipient);
  if (auto done = Run(db, *complete); !done) return done.Error();
  return outcome;
}

}  // namespace journal
