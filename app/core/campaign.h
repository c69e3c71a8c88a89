#pragma once
// The send campaign: one message text to every recipient of the number list,
// one message per recipient, through a pool of modem components (one per
// modem; the window has one). A 500 ms timer (Timer1) keeps each connected
// modem fed, handing it the head recipient as one TOutgoingMessage per modem
// and step while fewer than five message parts wait in that modem; all parts
// of a message go through the modem it was handed to (a resumed message
// whose first parts went out waits for the modem that sent them). Every part comes back
// in that modem's OnPartReport with the recipient it was queued for; a
// message completes when all its parts are reported, and marks its
// recipient's own row of the result workbook, bright green when every part
// was sent, yellow when a part's answer was lost (it may have been sent; it
// is never sent again without the operator's word) and red otherwise. The
// workbook is written at once, from the journal when there is one (the
// journal is the truth), so that the results reported so far survive a
// crash or a killed program, whatever the order in which the modems answer;
// a workbook that cannot be written (a full disk, a file held open) does not
// stop the campaign. Resume continues a campaign of the journal: its text,
// its numbers left and its result workbook come from the journal. The campaign finishes when a step finds
// no message in hand and nothing left to hand over; "Zatrzymaj" stops it at
// once, StopAfterMessagesInHand lets the messages in hand finish first, and
// a campaign that has had no modem for the no-modem limit stops itself.
//
// What the campaign shows goes to a TCampaignScreen: the window's status
// bar, gauge, log and phone list window, or the console of talvane-cli.
//
// Main thread only.

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/core/campaign_recorder.h"
#include "app/core/campaign_text.h"
#include "app/core/number_list.h"
#include "app/core/result_workbook.h"
#include "app/core/view_types.h"
#include "modem/outgoing_message.h"
#include "modem/zogsm.h"
#include "platform/main_loop.h"

namespace app {

// Message parts waiting in a modem at which a step feeds it no further number.
inline constexpr int kCampaignQueueLimit = 5;
// Parts joined into one concatenated message.
inline constexpr int kCampaignMergeMax = 10;
// How long a campaign waits for a modem before it stops itself.
inline constexpr std::chrono::seconds kDefaultNoModemLimit{300};

// What became of one message.
struct TMessageResult {
  modem::TRecipient recipient;
  bool sent = false;              // every part was sent
  bool uncertain = false;         // a part's answer was lost: it may have been sent (the parts after it were not)
  int parts = 0;                  // parts reported
  std::vector<int> failedParts;   // their part numbers, from 1
  std::vector<int> references;    // message references of the parts sent
};

class TCampaignScreen {
 public:
  virtual ~TCampaignScreen() = default;
  // Start refused: there is no text to send.
  virtual void EmptyText() = 0;
  // Start refused: the journal cannot record the campaign, for `reason`.
  virtual void JournalRefused(const AnsiString& reason) = 0;
  // The campaign started with `numbers` numbers in the list.
  virtual void Started(int numbers) = 0;
  // A step with a modem connected, before feeding: parts waiting, numbers left.
  virtual void Stepped(int queued, int numbersLeft) = 0;
  // The head number left the list (handed to a modem or refused).
  virtual void NumberTaken(const modem::TRecipient& recipient) = 0;
  // The head number was handed to a modem.
  virtual void SendingTo(const modem::TRecipient& recipient) = 0;
  // One line of the activity log (a failed part, a refused number, a
  // message in doubt).
  virtual void LogLine(const AnsiString& line) = 0;
  // A message completed; `completed` counts the messages of this campaign.
  virtual void MessageCompleted(const TMessageResult& result, int completed) = 0;
  // A step found nothing in hand and nothing to hand over: the campaign is
  // over, `sent` messages sent and `notSent` numbers without their message.
  virtual void Finished(int sent, int notSent) = 0;
  // The question before stopping with numbers left; true to stop.
  virtual bool ConfirmStop() = 0;
  // The campaign was stopped: the screen resets what the campaign showed.
  virtual void Stopped() = 0;
};

// The closing line of a campaign that left numbers without their message.
AnsiString FinishedWithFailuresText(int sent, int notSent);

// True for a national number the modem may be given: digits only.
bool IsSendableNumber(const std::string& number);

class TCampaign {
 public:
  // The text the campaign sends now (empty: nothing to send).
  using TextSource = std::function<TCampaignText()>;

  // Every argument outlives the campaign. Binds nothing: the owner routes
  // Timer1 to Step() and each modem's OnPartReport to PartReported().
  // `resultPath` is where the result workbook is saved (the window's result
  // file path, read at every save).
  TCampaign(std::vector<modem::TZoGSM*> modems, platform::Timer& timer1, TNumberList& numbers,
            TResultWorkbook& results, const std::string& resultPath, TextSource text, TCampaignScreen& screen);

  // How long the steps wait without any connected modem before the campaign
  // stops itself.
  void SetNoModemLimit(std::chrono::milliseconds limit) { noModemLimit_ = limit; }
  // Every campaign from the next Start on is written ahead into `journal`
  // (which outlives the campaign), `sourceFile` being the list's file;
  // null: none is.
  void SetJournal(journal::TCampaignJournal* journal, std::string sourceFile) {
    recorder_.Use(journal, std::move(sourceFile));
  }
  // The journal's campaign of the last Start or Resume; none without a journal.
  std::optional<journal::TCampaignId> JournalCampaign() const { return recorder_.Campaign(); }
  // The numbers the next Start leaves out (recorded skipped with the earlier
  // campaign named, their rows coloured as that campaign left them): an
  // earlier campaign of the same text had texted them. By national number.
  void SetAlreadyTexted(std::map<std::string, journal::TCampaignId> numbers) {
    alreadyTexted_ = std::move(numbers);
  }

  // "WYŚLIJ": false when refused for an empty text or by the journal (before
  // anything is sent). Otherwise every modem not
  // connected is activated and asked to connect, and the steps begin.
  bool Start();
  // Continues the journal's campaign `id` as Start begins one, with the
  // campaign's text, its numbers still queued and its result workbook (the
  // list and the workbook are replaced by the journal's). What it had in
  // flight is settled first; uncertain messages go out again only with
  // `resendUncertain`. False (the screen told why) when refused.
  bool Resume(journal::TCampaignId id, bool resendUncertain);
  // What the last Resume found and did.
  const TCampaignRecorder::TResumed& Resumed() const { return resumed_; }
  // Timer1: one send step.
  void Step();
  // OnPartReport of a modem: one part reported.
  void PartReported(modem::TZoGSM& sender, const modem::TPartReport& report);
  // "Zatrzymaj": with `askFirst` and numbers left, the screen asks first;
  // false when the answer was not yes. Otherwise the steps end, the modems
  // disconnect (no automatic reconnection from now on) and drop the parts
  // still waiting, and the list is emptied.
  bool Stop(bool askFirst);
  // No further number is handed over; the campaign stops (as Stop without a
  // question) once the messages in hand have completed, or at once when no
  // modem is left to complete them.
  void StopAfterMessagesInHand();

  int SentCounter() const { return completed_; }
  // Why the journal failed since the last start; empty: it did not.
  AnsiString JournalFailure() const { return recorder_.Failure(); }
  bool Finished() const { return finished_; }
  // Stopped, by the user or for want of a modem, since the last start.
  bool Stopped() const { return stopped_; }
  // Message parts waiting in all modems.
  int QueueCount() const;
  bool AnyConnected() const;
  // Recipients handed to a modem whose message has not completed, in the order handed over.
  std::vector<modem::TRecipient> MessagesInFlight() const;
  // Recipients without their message: those in flight and those left in the
  // list, as they were when the campaign stopped, or as they are now.
  std::vector<modem::TRecipient> NotSent() const;
  // Recipients whose message may have been sent: a part's answer was lost
  // (in this run, or in the resumed campaign's earlier one).
  const std::vector<modem::TRecipient>& Uncertain() const { return uncertain_; }
  // The result workbook written now (from the journal when there is one);
  // true when it was.
  bool SaveResults();
  // Where the result workbook goes: the resumed campaign's, or the owner's.
  const std::string& ResultPath() const { return resumedResultPath_ ? *resumedResultPath_ : resultPath_; }

 private:
  // A message handed to a modem, whose parts are being reported.
  struct InHand {
    const modem::TZoGSM* modem = nullptr;
    int handedAt = 0;  // order of handing over
    int total = 0;     // parts queued
    std::vector<int> uncertainParts;
    TMessageResult result;
  };

  void ResetCounters();
  // Connects the modems and begins the steps.
  void BeginSteps();
  // Leaves out the numbers an earlier campaign had texted.
  void SkipAlreadyTexted();
  // The text the campaign sends now: the resumed campaign's, or the owner's.
  TCampaignText CurrentText() const { return resumedText_ ? *resumedText_ : text_(); }
  // The modem as the journal knows it.
  static std::string ModemName(const modem::TZoGSM& modem);
  // The recipient at `index` of the list (0 the head).
  modem::TRecipient RecipientAt(int index) const;
  // Messages in flight, then the numbers left in the list.
  std::vector<modem::TRecipient> Unsent() const;
  // The first number of the list `modem` may take: a message whose first
  // parts went through another modem waits for that one (the phone joins
  // the parts by the sender's number).
  std::optional<int> NextFor(const modem::TZoGSM& modem) const;
  // True while numbers wait for a modem of their own that is not connected.
  bool WaitingForTheirModem() const;
  // Numbers are left and a connected modem has not yet told who it is.
  bool WaitingForIdentification() const;
  // Hands the number at `index` of the list to `modem`.
  void Feed(modem::TZoGSM& modem, int index, const modem::TRecipient& recipient);
  void Refuse(int index, const modem::TRecipient& recipient);
  void Complete(const TMessageResult& result);
  void Finish();
  // Nothing in hand and nothing to hand over: finished, or stopped when asked to.
  void EndOfSteps();
  // True when no modem has been connected for the no-modem limit.
  bool NoModemForTooLong() const;
  // The result workbook could not be written: said once per campaign.
  void ResultsNotWritten(const AnsiString& reason);
  // A journal that failed to record stops the campaign once the messages in
  // hand are over: nothing it does not know may go out.
  void StopOnJournalFailure();
  // Logs the journal's failure once; false when it has none.
  bool ShowJournalFailure();

  std::vector<modem::TZoGSM*> modems_;
  platform::Timer& timer1_;
  TNumberList& numbers_;
  TResultWorkbook& results_;
  const std::string& resultPath_;
  TextSource text_;
  TCampaignScreen& screen_;
  TCampaignRecorder recorder_;
  std::chrono::milliseconds noModemLimit_ = kDefaultNoModemLimit;

  // The campaign's counters, reset together by ResetCounters.
  int completed_ = 0;
  int sent_ = 0;
  int handedOver_ = 0;  // messages handed to a modem
  bool finished_ = false;
  bool stopped_ = false;
  bool stopAfterInHand_ = false;
  bool journalFailureShown_ = false;
  int uncertainEarlier_ = 0;  // messages a resumed campaign's earlier run left in doubt
  bool resultsFailureShown_ = false;
  std::vector<modem::TRecipient> uncertain_;
  std::chrono::steady_clock::time_point lastModemSeen_;
  std::map<int, InHand> inHand_;  // by the recipient's row
  std::vector<modem::TRecipient> notSentAtStop_;
  std::map<std::string, journal::TCampaignId> alreadyTexted_;
  // Set by Resume, cleared by Start.
  std::optional<TCampaignText> resumedText_;
  std::optional<std::string> resumedResultPath_;
  TCampaignRecorder::TResumed resumed_;
};

}  // namespace app
