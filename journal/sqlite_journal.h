#pragma once
// The campaign journal in one SQLite file, by default
// $XDG_DATA_HOME/talvane/journal.sqlite, shared by the window and
// talvane-cli. A write-ahead log with synchronous=FULL: an operation that
// returned is on the disk, so a part recorded as submitting survives a crash
// or a power cut the moment RecordSubmitting returns. Two operations on the
// way of every part are not synced themselves, to halve what each part costs:
// TakeNext and RecordAnswer. The next synced commit carries them to the disk
// (the log keeps commits in order); a killed program loses neither, and a
// power cut can lose only the last of them, which leaves the journal on the
// safe side (a message back in the queue with nothing submitted; an answer
// lost makes its part uncertain, never unsent). The log is written back into
// the file after those two, never in the way of a submission.
//
// Two programs may use the file side by side: writers wait for each other up
// to the busy timeout, readers never wait. SQLite keeps no queue of waiting
// writers; the campaign's writes are paced by the modems.
//
// A file that is not a journal, fails the quick check or comes from a newer
// version is refused and left exactly as it was: never repaired, overwritten
// or recreated behind the operator's back.
//
// Threads: every operation may come from any thread; they are serialised by
// one lock.

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

#include "journal/campaign_journal.h"
#include "journal/sqlite_connection.h"

namespace journal {

struct TSqliteJournalOptions {
  // How long an operation waits for another program's write to end.
  int busyTimeoutMs = 5000;
  // The SQLite VFS by name (tests inject faults through one); null: the default.
  const char* vfs = nullptr;
  // Milliseconds since the epoch; empty: the system clock.
  std::function<TMillis()> clock;
};

class TSqliteJournal final : public TCampaignJournal {
 public:
  // journal.sqlite in the program's data folder.
  static std::filesystem::path DefaultFile();

  // Opens the journal, creating it when the file does not exist, and brings
  // its tables to this program's version.
  static TJournalResult<std::unique_ptr<TSqliteJournal>> Open(const std::filesystem::path& file,
                                                              TSqliteJournalOptions options = {});

  TJournalResult<TCampaignId> CreateCampaign(const TNewCampaign& campaign,
                                             const std::vector<TRecipientEntry>& recipients) override;
  TJournalStatus SetCampaignState(TCampaignId campaign, TCampaignState state) override;
  // Held in "journal.sqlite-claims" beside the journal (journal/campaign_claims.h).
  TJournalResult<std::unique_ptr<TCampaignClaim>> Claim(TCampaignId campaign) override;
  TJournalResult<std::optional<TMessageJob>> TakeNext(TCampaignId campaign, const std::string& modem) override;
  TJournalStatus RecordSubmitting(const TPartSubmission& part) override;
  TJournalResult<TMessageState> RecordAnswer(const TPartAnswer& answer) override;
  TJournalStatus MarkSkipped(TRecipientId recipient, const platform::AnsiString& reason) override;
  TJournalResult<TRecoveryReport> Recover(TCampaignId campaign) override;
  TJournalResult<int> ResendUncertain(TCampaignId campaign) override;
  TJournalResult<TCampaignSummary> Summary(TCampaignId campaign) override;
  TJournalResult<std::vector<TCampaignSummary>> Campaigns(bool unfinishedOnly) override;
  TJournalResult<std::vector<TRecipientRecord>> Recipients(TCampaignId campaign) override;
  TJournalResult<std::vector<TEarlierSend>> EarlierSends(const platform::AnsiString& text,
                                                         const std::vector<std::string>& numbers, int days) override;

 private:
  // The state and routing of one message, as an operation on it reads them.
  struct TMessageRow {
    TMessageState state = TMessageState::Queued;
    std::string modem;
    int parts = 0;
    std::optional<int> concatReference;
    std::string destination;
  };

  TSqliteJournal(std::unique_ptr<TSqliteConnection> connection, std::filesystem::path file,
                 TSqliteJournalOptions options);

  TMillis Now() const;
  TJournalResult<TMessageRow> ReadMessage(TRecipientId recipient);
  TJournalError RefusedChange(const TMessageRow& message, TMessageState to) const;
  TJournalResult<TCampaignRecord> ReadCampaign(TCampaignId campaign);
  TJournalResult<TCampaignSummary> CountMessages(TCampaignRecord campaign);
  TJournalResult<std::vector<int>> AnsweredParts(TRecipientId recipient);
  // A sending message whose every part has its answer becomes sent or
  // failed; returns its state afterwards.
  TJournalResult<TMessageState> CompleteIfAnswered(TRecipientId recipient);
  TJournalResult<int> MarkInDoubt(TCampaignId campaign);
  TJournalResult<std::vector<TRecipientId>> SendingMessages(TCampaignId campaign);

  std::mutex mutex_;
  std::unique_ptr<TSqliteConnection> connection_;
  std::filesystem::path claimsFile_;
  TSqliteJournalOptions options_;
};

}  // namespace journal
