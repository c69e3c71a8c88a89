// Recovery: settling the messages a campaign had in flight when its program
// stopped (a crash, a killed process, a pulled plug), and the operator's
// resending of the uncertain ones. The rule that matters: a part recorded as
// submitting may have left the modem, so its message is never queued again
// without the operator's word.

#include "journal/sqlite_journal.h"
#include "journal/sqlite_transaction.h"

namespace journal {

// A message queued again sends every part the network did not take: its
// part records so far stop answering for it (see CompleteIfAnswered).
#define REQUEUED_AFTER_PARTS \
  "requeued_after_part = (SELECT COALESCE(MAX(id), 0) FROM parts p WHERE p.recipient_id = recipients.id), "

TJournalResult<TRecoveryReport> TSqliteJournal::Recover(TCampaignId campaign) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::Write, [&]() -> TJournalResult<TRecoveryReport> {
    if (auto record = ReadCampaign(campaign); !record) return record.Error();
    TRecoveryReport report;
    auto inDoubt = MarkInDoubt(campaign);
    if (!inDoubt) return inDoubt.Error();
    report.uncertain = *inDoubt;

    auto sending = SendingMessages(campaign);
    if (!sending) return sending.Error();
    TStatement* requeue = db.Prepare(
        "UPDATE recipients SET state = 'queued', updated_ms = ?, " REQUEUED_AFTER_PARTS
        "modem = CASE WHEN EXISTS (SELECT 1 FROM parts p WHERE p.recipient_id = recipients.id "
        "AND p.state = 'sent') THEN modem ELSE '' END WHERE id = ?");
    if (requeue == nullptr) return db.LastError();
    for (const TRecipientId recipient : *sending) {
      auto state = CompleteIfAnswered(recipient);
      if (!state) return state.Error();
      if (*state != TMessageState::Sending) {
        ++report.completed;
        continue;
      }
      // Nothing of it is in doubt: it resumes with the parts not answered,
      // on the modem of those that were (the phone joins parts by sender).
      requeue->Reset();
      requeue->Bind(1, Now()).Bind(2, recipient);
      if (auto done = Run(db, *requeue); !done) return done.Error();
      ++report.resumed;
    }
    return report;
  });
}

TJournalResult<int> TSqliteJournal::MarkInDoubt(TCampaignId campaign) {
  TSqliteConnection& db = *connection_;
  TStatement* messages = db.Prepare(
      "UPDATE recipients SET state = 'uncertain', updated_ms = ? WHERE campaign_id = ? AND state = 'sending' "
      "AND EXISTS (SELECT 1 FROM parts p WHERE p.recipient_id = recipients.id AND p.state = 'submitting')");
  if (messages == nullptr) return db.LastError();
  messages->Bind(1, Now()).Bind(2, campaign);
  if (auto done = Run(db, *messages); !done) return done.Error();
  const int uncertain = db.Changes();

  TStatement* parts = db.Prepare(
      "UPDATE parts SET state = 'uncertain' WHERE state = 'submitting' AND recipient_id IN "
      "(SELECT id FROM recipients WHERE campaign_id = ? AND state = 'uncertain')");
  if (parts == nullptr) return db.LastError();
  parts->Bind(1, campaign);
  if (auto done = Run(db, *parts); !done) return done.Error();
  return uncertain;
}

TJournalResult<std::vector<TRecipientId>> TSqliteJournal::SendingMessages(TCampaignId campaign) {
  TSqliteConnection& db = *connection_;
  TStatement* read = db.Prepare("SELECT id FROM recipients WHERE campaign_id = ? AND state = 'sending'");
  if (read == nullptr) return db.LastError();
  read->Bind(1, campaign);
  std::vector<TRecipientId> ids;
  auto done = ForEachRow(db, *read, [&](const TStatement& row) { ids.push_back(row.Int(0)); });
  if (!done) return done.Error();
  return ids;
}

TJournalResult<int> TSqliteJournal::ResendUncertain(TCampaignId campaign) {
  std::lock_guard lock(mutex_);
  TSqliteConnection& db = *connection_;
  return RunTransaction(db, TTransactionKind::Write, [&]() -> TJournalResult<int> {
    if (auto record = ReadCampaign(campaign); !record) return record.Error();
    // A message with parts the network took keeps its modem, parts and
    // concatenation reference and sends every other part again (those in
    // doubt and those given up after them); one without starts afresh on
    // any modem.
    TStatement* resend = db.Prepare(
        "UPDATE recipients SET updated_ms = ?, state = 'queued', " REQUEUED_AFTER_PARTS
        "modem = CASE WHEN EXISTS (SELECT 1 FROM parts p WHERE p.recipient_id = recipients.id "
        "AND p.state = 'sent') THEN modem ELSE '' END, "
        "parts = CASE WHEN EXISTS (SELECT 1 FROM parts p WHERE p.recipient_id = recipients.id "
        "AND p.state = 'sent') THEN parts ELSE 0 END, "
        "concat_reference = CASE WHEN EXISTS (SELECT 1 FROM parts p WHERE p.recipient_id = recipients.id "
        "AND p.state = 'sent') THEN concat_reference ELSE NULL END "
        "WHERE campaign_id = ? AND state = 'uncertain'");
    if (resend == nullptr) return db.LastError();
    resend->Bind(1, Now()).Bind(2, campaign);
    if (auto done = Run(db, *resend); !done) return done.Error();
    return db.Changes();
  });
}

}  // namespace journal
