#pragma once
// The send campaign: one message text to every number of the number list,
// one message per number, through a list of modem components (one per modem;
// the window has one). A 500 ms timer (Timer1) keeps each connected modem fed,
// taking one number from the head of the list per modem and step while fewer
// than five message parts wait in that modem. Every completed message writes
// one row of the result workbook, bright green when all its parts were sent
// and red otherwise, and the workbook is saved at once, so that the results
// reported so far survive a crash or a killed program. The campaign finishes
// when a step finds no part waiting; "Zatrzymaj" stops it at any time.
//
// What the campaign shows goes to a TCampaignScreen: the window's status
// bar, gauge, log and phone list window, or the console of talvane-cli.
//
// Main thread only.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/core/message_composer.h"
#include "app/core/number_list.h"
#include "app/core/result_workbook.h"
#include "app/core/view_types.h"
#include "modem/zogsm.h"
#include "platform/main_loop.h"

namespace app {

// Fill colours of a message's row in column A.
inline constexpr int kColourSent = 4;    // bright green
inline constexpr int kColourFailed = 3;  // red

// Message parts waiting in a modem at which a step feeds it no further number.
inline constexpr int kCampaignQueueLimit = 5;
inline constexpr const char* kCampaignCountryPrefix = "+48";

// What became of one message.
struct TMessageResult {
  std::string number;             // national number (characters 4 to 12 of the destination)
  std::string destination;        // as handed to the modem ("+48" + number)
  bool sent = false;              // every part was sent
  int parts = 0;                  // parts reported
  std::vector<int> failedParts;   // their part numbers, from 1
  std::vector<int> references;    // message references of the parts sent
};

class TCampaignScreen {
 public:
  virtual ~TCampaignScreen() = default;
  // Start refused: there is no text to send.
  virtual void EmptyText() = 0;
  // The campaign started with `numbers` numbers in the list.
  virtual void Started(int numbers) = 0;
  // A step with a modem connected, before feeding: parts waiting, numbers left.
  virtual void Stepped(int queued, int numbersLeft) = 0;
  // The head number left the list (handed to a modem or refused).
  virtual void NumberTaken(const std::string& number) = 0;
  // The head number was handed to a modem.
  virtual void SendingTo(const std::string& number) = 0;
  // One line of the activity log (a failed part, a refused number).
  virtual void LogLine(const AnsiString& line) = 0;
  // A message completed; `completed` counts the messages of this campaign.
  virtual void MessageCompleted(const TMessageResult& result, int completed) = 0;
  // A step found no part waiting: the campaign is over.
  virtual void Finished() = 0;
  // The question before stopping with numbers left; true to stop.
  virtual bool ConfirmStop() = 0;
  // The campaign was stopped: the screen resets what the campaign showed.
  virtual void Stopped() = 0;
};

// True for a national number the modem may be given: digits only.
bool IsSendableNumber(const std::string& number);

class TCampaign {
 public:
  // The text the campaign sends now (empty: nothing to send).
  using TextSource = std::function<TCampaignText()>;

  // Every argument outlives the campaign. Binds nothing: the owner routes
  // Timer1 to Step() and each modem's OnAfterSend to AfterSend().
  // `resultPath` is where the result workbook is saved (the window's result
  // file path, read at every save).
  TCampaign(std::vector<modem::TZoGSM*> modems, platform::Timer& timer1, TNumberList& numbers,
            TResultWorkbook& results, const std::string& resultPath, TextSource text, TCampaignScreen& screen);

  // "WYŚLIJ": false when refused for an empty text. Otherwise every modem not
  // connected is activated and asked to connect, and the steps begin.
  bool Start();
  // Timer1: one send step.
  void Step();
  // OnAfterSend of a modem: one part reported.
  void AfterSend(modem::TZoGSM& sender, const std::string& nrTel, int sendingStatus, int reference, int partNr,
                 int total);
  // "Zatrzymaj": with `askFirst` and numbers left, the screen asks first;
  // false when the answer was not yes. Otherwise the steps end, the modems
  // disconnect (no automatic reconnection from now on) and drop the parts
  // still waiting, and the list is emptied.
  bool Stop(bool askFirst);

  int SentCounter() const { return sentCounter_; }
  bool Finished() const { return finished_; }
  // Message parts waiting in all modems.
  int QueueCount() const;
  bool AnyConnected() const;
  // Destinations of messages handed to a modem and not completed.
  std::vector<std::string> MessagesInFlight() const;

 private:
  // A message whose parts are being reported.
  struct Pending {
    TMessageResult result;
    int total = 0;
  };

  bool Feed(modem::TZoGSM& modem);
  void RefuseNumber(std::string number);  // a copy: the head leaves the list
  void Complete(const TMessageResult& result);
  // True when the result workbook was written.
  bool SaveResults();

  std::vector<modem::TZoGSM*> modems_;
  platform::Timer& timer1_;
  TNumberList& numbers_;
  TResultWorkbook& results_;
  const std::string& resultPath_;
  TextSource text_;
  TCampaignScreen& screen_;

  int sentCounter_ = 0;
  bool finished_ = false;
  std::map<const modem::TZoGSM*, Pending> pending_;
  std::vector<std::string> handedOver_;  // destinations queued, not yet completed
};

}  // namespace app
