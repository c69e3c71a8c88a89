// What the window and talvane-cli read from the journal: campaigns, their
// summaries and recipients, and earlier campaigns of the same text.

#include <map>
#include <unordered_set>

#include "journal/sqlite_journal.h"
#include "journal/sqlite_transaction.h"

namespace journal {
namespace {

constexpr TMillis kDayMillis = 24LL * 60 * 60 * 1000;

TCampaignRecord CampaignFrom(const TStatement& row) {
  TCampaignRecord record;
  record.id = row.Int(0);
  record.created = row.Int(1);
  record.campaign = {platform::Utf8ToAnsi(row.Text(2)), row.Int(3) != 0, row.Int(4) != 0, row.Text(5), row.Text(6)};
  record.state = CampaignStateNamed(row.Text(7)).value_or(TCampaignState::Stopped);
  return record;
}

TRecipientRecord RecipientFrom(const TStatement& row) {
  TRecipientRecord recipient;
  recipient.id = row.Int(0);
  recipient.entry = {static_cast<int>(row.Int(1)), platform::Utf8ToAnsi(row.Text(2)), row.Text(3), row.Text(4)};
  recipient.state = MessageStateNamed(row.Text(5)).value_or(TMessageState::Uncertain);
  recipient.parts = static_cast<int>(row.Int(6));
  recipient.concatReference = row.OptionalInt(7);
  recipient.modem = row.Text(8);
  recipient.note = platform::Utf8ToAnsi(row.Text(9));
  return recipient;
}

TPartRecord PartFrom(const TStatement& row) {
  TPartRecord part;
  part.partNo = static_cast<int>(row.Int(1));
  part.state = PartStateNamed(row.Text(2)).value_or(TPartState::Uncertain);
  part.modem = row.Text(3);
  part.reference = row.OptionalInt(4);
  part.submitted = row.Int(5);
  if (!row.IsNull(6)) part.answered = row.Int(6);
  part.error = platform::Utf8ToAnsi(row.Text(7));
  return part;
}

}  // namespace

TJournalResult<TCampaignRecord> TSqliteJournal::ReadCampaign(TCampaignId campaign) {
  TSqliteConnection& db = *connection_;
  TStatement* read = db.Prepare(
      "SELECT id, created_ms, text, flash, ucs2, source_file, result_file, state FROM campaigns WHERE id = ?");
  if (read == nullptr) return db.LastError();
  read->Bind(1, campaign);
  TCampaignRecord record;
  auto found = FirstRow(db, *read, [&](const TStatement& row) { record = CampaignFrom(row); });
  if (!found) return found.Error();
  if (!*found) {
    return JournalError(TJournalFault::NotFound, "Brak kampanii nr " + std::to_string(campaign) + " w dzienniku.");
  }
  return record;
}

TJournalResult<TCampaignSummary> TSqliteJournal::CountMessages(TCampaignRecord campaign) {
  TSqliteConnection& db = *connection_;
  TStatement* count = db.Prepare("SELECT state, COUNT(*) FROM recipients WHERE campaign_id = ? GROUP BY state");
  if (count == nullptr) return db.LastError();
  count->Bind(1, campaign.id);
  TCampaignSummary summary;
  summary.campaign = std::move(campaign);
  auto done = ForEachRow(db, *count, [&](const TStatement& row) {
    const int messages = static_cast<int>(row.Int(1));
    summary.total += messages;
    switch (MessageStateNamed(row.Text(0)).value_or(TMessageState::Uncertain)) {
      case TMessageState::Queued:
      case TMessageState::Sending:
        summary.left += messages;
        break;
      case TMessageState::Sent:
      case TMessageState::Delivered:
      case TMessageState::Undelivered:
        summary.sent += messages;
        break;
      case TMessageState::Failed:
        summary.failed += messages;
        break;
      case TMessageState::Uncertain:
        summary.uncertain += messages;
        break;
      case TMessageState::Skipped:
        summary.skipped += messages;
        break;
    }
  });
  if (!done) return done.Error();
  return summary;
}

TJournalResult<TCampaignSummary> TSqliteJournal::Summary(TCampaignId campaign) {
  std::lock_guard lock(mutex_);
  return RunTransaction(*connection_, TTransactionKind::Read, [&]() -> TJournalResult<TCampaignSummary> {
    auto record = ReadCampaign(campaign);
    if (!record) return record.Error();
    return CountMessages(std::move(*record));
  });
}

TJournalResult<std::vector<TCampaignSummary>> TSqliteJournal::Campaigns(bool unfinishedOnly) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::Read, [&]() -> TJournalResult<std::vector<TCampaignSummary>> {
    TStatement* list = db.Prepare(
        "SELECT id, created_ms, text, flash, ucs2, source_file, result_file, state FROM campaigns "
        "WHERE ? = 0 OR state <> 'finished' ORDER BY created_ms DESC, id DESC");
    if (list == nullptr) return db.LastError();
    list->Bind(1, unfinishedOnly ? 1 : 0);
    std::vector<TCampaignRecord> records;
    auto done = ForEachRow(db, *list, [&](const TStatement& row) { records.push_back(CampaignFrom(row)); });
    if (!done) return done.Error();
    std::vector<TCampaignSummary> summaries;
    for (TCampaignRecord& record : records) {
      auto summary = CountMessages(std::move(record));
      if (!summary) return summary.Error();
      summaries.push_back(std::move(*summary));
    }
    return summaries;
  });
}

TJournalResult<std::vector<TRecipientRecord>> TSqliteJournal::Recipients(TCampaignId campaign) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::Read, [&]() -> TJournalResult<std::vector<TRecipientRecord>> {
    if (auto record = ReadCampaign(campaign); !record) return record.Error();
    TStatement* recipientRows = db.Prepare(
        "SELECT id, list_row, number_read, number, destination, state, parts, concat_reference, modem, note "
        "FROM recipients WHERE campaign_id = ? ORDER BY list_row, id");
    if (recipientRows == nullptr) return db.LastError();
    recipientRows->Bind(1, campaign);
    std::vector<TRecipientRecord> recipients;
    std::map<TRecipientId, size_t> byId;
    auto read = ForEachRow(db, *recipientRows, [&](const TStatement& row) {
      byId[row.Int(0)] = recipients.size();
      recipients.push_back(RecipientFrom(row));
    });
    if (!read) return read.Error();

    TStatement* parts = db.Prepare(
        "SELECT p.recipient_id, p.part_no, p.state, p.modem, p.reference, p.submitted_ms, p.answered_ms, p.error "
        "FROM parts p JOIN recipients r ON r.id = p.recipient_id WHERE r.campaign_id = ? ORDER BY p.id");
    if (parts == nullptr) return db.LastError();
    parts->Bind(1, campaign);
    auto partsRead = ForEachRow(
        db, *parts, [&](const TStatement& row) { recipients[byId.at(row.Int(0))].partLog.push_back(PartFrom(row)); });
    if (!partsRead) return partsRead.Error();
    return recipients;
  });
}

TJournalResult<std::vector<TEarlierSend>> TSqliteJournal::EarlierSends(const platform::AnsiString& text,
                                                                       const std::vector<std::string>& numbers,
                                                                       int days) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  const std::unordered_set<std::string> wanted(numbers.begin(), numbers.end());
  return RunTransaction(db, TTransactionKind::Read, [&]() -> TJournalResult<std::vector<TEarlierSend>> {
    TStatement* candidates = db.Prepare(
        "SELECT id, created_ms, text, flash, ucs2, source_file, result_file, state FROM campaigns "
        "WHERE text = ? AND (created_ms >= ? OR state <> 'finished') ORDER BY created_ms DESC, id DESC");
    if (candidates == nullptr) return db.LastError();
    candidates->Bind(1, platform::AnsiToUtf8(text)).Bind(2, Now() - days * kDayMillis);
    std::vector<TCampaignRecord> records;
    auto done = ForEachRow(db, *candidates, [&](const TStatement& row) { records.push_back(CampaignFrom(row)); });
    if (!done) return done.Error();

    std::vector<TEarlierSend> earlier;
    TStatement* held = db.Prepare("SELECT number, state FROM recipients WHERE campaign_id = ?");
    if (held == nullptr) return db.LastError();
    for (TCampaignRecord& record : records) {
      TEarlierSend send;
      held->Reset();
      held->Bind(1, record.id);
      auto counted = ForEachRow(db, *held, [&](const TStatement& row) {
        if (!wanted.contains(row.Text(0))) return;
        ++send.listed;
        if (MayHaveBeenTexted(MessageStateNamed(row.Text(1)).value_or(TMessageState::Uncertain))) ++send.texted;
      });
      if (!counted) return counted.Error();
      if (send.listed == 0) continue;
      auto summary = CountMessages(std::move(record));
      if (!summary) return summary.Error();
      send.summary = std::move(*summary);
      earlier.push_back(std::move(send));
    }
    return earlier;
  });
}

}  // namespace journal
