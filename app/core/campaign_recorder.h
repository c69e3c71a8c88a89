#pragma once
// The campaign's write-ahead record in the campaign journal: the campaign and
// its recipients when it starts, each message as it is handed to a modem,
// each part durably BEFORE it goes to the modem, each answer of the modem and
// how the campaign ended. A part that could not be recorded is kept off the
// modem: what the journal does not know was never sent. Without a journal
// every operation is a no-op that lets everything through.
//
// A modem is known by its identity (IMEI/IMSI), by its port while it has none.
//
// Threads: AboutToSubmit runs on the engines' threads, everything else on the
// main thread; the messages in flight are shared under a lock.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/core/campaign_text.h"
#include "journal/campaign_journal.h"
#include "modem/outgoing_message.h"

namespace app {

class TCampaignRecorder {
 public:
  // What became of taking a message for a modem.
  enum class TTake { Taken, NotNow, Failed };

  // From the next Begin on; null: no journal. `journal` outlives the recorder.
  void Use(journal::TCampaignJournal* journal, std::string sourceFile);
  // The journal's campaign with every recipient queued. False when the
  // journal refused; Failure() says why.
  bool Begin(const TCampaignText& text, const std::vector<modem::TRecipient>& recipients,
             const std::string& resultPath);
  // What a resumed campaign starts from.
  struct TResumed {
    journal::TCampaignRecord campaign;
    std::vector<journal::TRecipientRecord> recipients;  // settled, in the list's order
    journal::TRecoveryReport recovery;
    int resent = 0;  // uncertain messages queued again
  };
  // Continues the journal's campaign `id` instead of beginning one: settles
  // what it had in flight (a part without its answer makes its message
  // uncertain), queues the uncertain messages again when `resendUncertain`,
  // and runs it again. False when the journal refused; Failure() says why.
  bool Resume(journal::TCampaignId id, bool resendUncertain, TResumed& resumed);
  // The recipient's message now sending on `modem` (its identity, or its
  // port while it has none).
  TTake Take(const modem::TRecipient& recipient, const std::string& modem);
  // True when the recipient of list row `row` may go to `modem`: it is not
  // bound to another modem.
  bool MayTake(int row, const std::string& modem) const;
  // The modem a queued message must go through (its first parts did, or it
  // was taken for it); empty: any.
  std::string BoundModem(int row) const;
  // What of a message taken for a modem went out before: its concatenation
  // reference and the parts already answered, not to be queued again.
  void ResumeParts(const modem::TRecipient& recipient, modem::TOutgoingMessage& message) const;
  // The modem did not queue the message taken for it: it stays taken for
  // that modem and goes to it again.
  void Hold(const modem::TRecipient& recipient);
  // A number the modem cannot take.
  void Skip(const modem::TRecipient& recipient, const AnsiString& reason);
  // Engine's thread: records the part as submitting; false keeps it off the modem.
  bool AboutToSubmit(const modem::TQueuedPart& part);
  // The modem's answer for a part of a message in flight.
  void Answer(const modem::TPartReport& report);
  // No modem works for the campaign any more: what was in flight is settled
  // (a part without its answer makes its message uncertain) and the campaign
  // gets its final state.
  void End(journal::TCampaignState state);

  std::optional<journal::TCampaignId> Campaign() const { return campaign_; }
  // The campaign's recipients as the journal has them now.
  journal::TJournalResult<std::vector<journal::TRecipientRecord>> Recipients() const;
  // The journal of the campaign; null without one.
  journal::TCampaignJournal* Journal() const { return campaign_ ? journal_ : nullptr; }
  // The reason of the first write that failed since Begin; empty: none.
  AnsiString Failure() const;

 private:
  struct TInFlight {
    journal::TRecipientId id = 0;
    std::string modem;
    std::vector<int> submitted;          // part numbers recorded as submitting
    std::optional<int> concatReference;  // of a resumed message
    std::vector<int> answered;           // parts of a resumed message answered before
  };

  // Forgets the last campaign.
  void Reset();

  void Fail(const journal::TJournalError& error);
  journal::TJournalStatus RecordSubmitting(const TInFlight& message, const modem::TQueuedPart& part);

  std::string sourceFile_;
  std::map<int, journal::TRecipientId> ids_;  // by the recipient's row

  // Written on the main thread under the lock; read by the engines under it.
  mutable std::mutex mutex_;
  journal::TCampaignJournal* journal_ = nullptr;
  std::optional<journal::TCampaignId> campaign_;
  // Guarded by the lock as well.
  std::map<int, TInFlight> inFlight_;  // by the recipient's row
  std::map<int, TInFlight> held_;      // taken, not queued by its modem
  std::map<int, std::string> boundTo_;  // resumed messages with answered parts: their modem, by row
  AnsiString failure_;
};

}  // namespace app
