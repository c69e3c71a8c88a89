#pragma once
// The campaign journal: the durable record of what a campaign sent, so that a
// crash, a pulled plug or a stopped program never leaves "sent" and "handed to
// the modem" indistinguishable. The campaign and the window talk to this
// interface only, never to SQL; the embedded store is TSqliteJournal
// (journal/sqlite_journal.h), and a store shared by several machines can stand
// behind the same interface.
//
// The road of one message:
//   TakeNext           queued → sending, on one modem
//   RecordSubmitting   one row per part, committed and synced to the disk
//                      BEFORE its PDU goes to the modem; when it fails the
//                      caller must not send
//   RecordAnswer       the part sent (with its reference) or failed (with the
//                      cause); the last answer completes the message
//                      (sent when every part was sent, failed otherwise)
//   Recover            after a crash, or when nothing is in flight any more:
//                      a part submitted without answer makes its message
//                      uncertain; a message with nothing in doubt goes back to
//                      the queue and resumes with its missing parts
//   ResendUncertain    only by the operator's choice
//
// Every operation is one transaction: it happened entirely or not at all.
// Failures come back as a TJournalError with a reason to show.
//
// Threads: a store may be called from any thread (the campaign on the main
// thread, RecordSubmitting from the engine's "about to submit"); a store
// serialises its operations.

#include <memory>
#include <string>
#include <vector>

#include "journal/journal_error.h"
#include "journal/journal_records.h"

namespace journal {

// A program's hold on a campaign it sends or continues: while one program
// holds it, another (a second window, a talvane-cli) cannot continue or
// settle the same campaign, which would take the first one's messages in
// flight for uncertain and send the rest twice. The hold ends with the
// object, and with its program however that ends (a kill included).
class TCampaignClaim {
 public:
  virtual ~TCampaignClaim() = default;
};

class TCampaignJournal {
 public:
  virtual ~TCampaignJournal() = default;

  // A new running campaign with every recipient queued, in the list's order.
  virtual TJournalResult<TCampaignId> CreateCampaign(const TNewCampaign& campaign,
                                                     const std::vector<TRecipientEntry>& recipients) = 0;
  virtual TJournalStatus SetCampaignState(TCampaignId campaign, TCampaignState state) = 0;
  // The campaign held for this caller; refused (TJournalFault::Claimed) while
  // another holds it.
  virtual TJournalResult<std::unique_ptr<TCampaignClaim>> Claim(TCampaignId campaign) = 0;

  // The next queued message of the campaign that `modem` may send, in the
  // list's order, now sending on it; nullopt when none is left for it. A
  // message whose first parts went through one modem continues on that modem
  // only (the phone joins the parts by the sender's number).
  virtual TJournalResult<std::optional<TMessageJob>> TakeNext(TCampaignId campaign, const std::string& modem) = 0;

  // Durable (committed and synced) before it returns. Refused unless the
  // message is sending on this modem and the part is neither in flight nor
  // sent (a failed part goes again only with its message queued again).
  virtual TJournalStatus RecordSubmitting(const TPartSubmission& part) = 0;
  // The answer to a submitted part; returns the message's state afterwards
  // (sending until every part has its answer).
  virtual TJournalResult<TMessageState> RecordAnswer(const TPartAnswer& answer) = 0;
  // A queued message that will not be sent (a number the modem cannot take).
  virtual TJournalStatus MarkSkipped(TRecipientId recipient, const platform::AnsiString& reason) = 0;

  // Settles the campaign's messages that are sending. Call it only while no
  // modem works for the campaign: after a crash, or once a stopped campaign's
  // modems have gone quiet.
  virtual TJournalResult<TRecoveryReport> Recover(TCampaignId campaign) = 0;
  // The operator's choice: every uncertain message queued again; its sent
  // parts are kept and it resumes with the rest (the parts in doubt and those
  // given up after them). Returns how many.
  virtual TJournalResult<int> ResendUncertain(TCampaignId campaign) = 0;

  virtual TJournalResult<TCampaignSummary> Summary(TCampaignId campaign) = 0;
  // Newest first; only those not finished when `unfinishedOnly`.
  virtual TJournalResult<std::vector<TCampaignSummary>> Campaigns(bool unfinishedOnly) = 0;
  // In the list's order, with their parts.
  virtual TJournalResult<std::vector<TRecipientRecord>> Recipients(TCampaignId campaign) = 0;
  // Campaigns with the same text, created in the last `days` days or not
  // finished, that hold some of `numbers` (national numbers): to offer
  // continuing one instead of texting everybody twice. Newest first.
  virtual TJournalResult<std::vector<TEarlierSend>> EarlierSends(const platform::AnsiString& text,
                                                                 const std::vector<std::string>& numbers, int days) = 0;
};

}  // namespace journal
