#include "app/core/campaign.h"

#include <algorithm>
#include <numeric>

#include "app/core/view_types.h"
#include "xls/result_codes.h"

namespace app {
namespace {

constexpr const char* kFailedLine = "BŁĄD! nie udało się wysłać wiadomości do: ";

// The log line of a failed part; a part of a longer message says which.
AnsiString FailedPartLine(const std::string& nrTel, int partNr, int total) {
  AnsiString line = Ansi(kFailedLine) + nrTel;
  if (total > 1) line += Ansi(" (część ") + std::to_string(partNr) + Ansi(" z ") + std::to_string(total) + ")";
  return line;
}

}  // namespace

bool IsSendableNumber(const std::string& number) {
  return !number.empty() && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

TCampaign::TCampaign(std::vector<modem::TZoGSM*> modems, platform::Timer& timer1, TNumberList& numbers,
                     TResultWorkbook& results, const std::string& resultPath, TextSource text,
                     TCampaignScreen& screen)
    : modems_(std::move(modems)),
      timer1_(timer1),
      numbers_(numbers),
      results_(results),
      resultPath_(resultPath),
      text_(std::move(text)),
      screen_(screen) {}

bool TCampaign::Start() {
  if (text_().text.empty()) {
    screen_.EmptyText();
    return false;
  }
  for (modem::TZoGSM* modem : modems_) {
    if (modem->Connected()) continue;
    modem->SetActive(true);
    modem->SetSuppressAutoReconnect(false);
    modem->SetConnected(true);
  }
  sentCounter_ = 0;
  finished_ = false;
  pending_.clear();
  handedOver_.clear();
  timer1_.SetEnabled(true);
  screen_.Started(numbers_.Count());
  return true;
}

int TCampaign::QueueCount() const {
  return std::accumulate(modems_.begin(), modems_.end(), 0,
                         [](int sum, const modem::TZoGSM* modem) { return sum + modem->QueueCount(); });
}

bool TCampaign::AnyConnected() const {
  return std::any_of(modems_.begin(), modems_.end(), [](const modem::TZoGSM* modem) { return modem->Connected(); });
}

void TCampaign::Step() {
  if (!AnyConnected()) return;  // waiting for the connection
  screen_.Stepped(QueueCount(), numbers_.Count());

  bool refusedNumber = false;
  for (modem::TZoGSM* modem : modems_) {
    if (!modem->Connected() || modem->QueueCount() >= kCampaignQueueLimit || numbers_.Empty()) continue;
    if (!IsSendableNumber(numbers_[0])) {
      // Taking it uses this step: the end test below must not mistake the
      // empty queue for the end while numbers remain.
      RefuseNumber(numbers_[0]);
      refusedNumber = true;
      continue;
    }
    Feed(*modem);
  }

  if (QueueCount() == 0 && !refusedNumber) {
    timer1_.SetEnabled(false);
    finished_ = true;
    // The operator has to know where the rows went, the manual list's
    // workbook included.
    if (SaveResults()) screen_.LogLine(Ansi("Zapisano plik wynikowy: ") + Ansi(resultPath_));
    screen_.Finished();
  }
}

bool TCampaign::Feed(modem::TZoGSM& modem) {
  const std::string number = numbers_[0];
  const AnsiString text = text_().text;
  const std::string destination = kCampaignCountryPrefix + number;
  modem.SetSMSNumber(destination);
  modem.SetSMSMessageMarker(number);
  modem.SetSMSFlash(false);
  modem.SetSMSReport(false);
  modem.SetSMSMergeMax(10);
  modem.SetSpecialSymbols(false);
  modem.SetSMSText(text);
  if (text.empty() || modem.SendSMS() <= 0) return false;  // the number stays at the head
  numbers_.Delete(0);
  handedOver_.push_back(destination);
  screen_.NumberTaken(number);
  screen_.SendingTo(number);
  return true;
}

void TCampaign::RefuseNumber(std::string number) {
  numbers_.Delete(0);
  screen_.NumberTaken(number);
  // Such a number would be encoded as a destination of garbage digits and
  // delivered to whoever the network makes of it.
  screen_.LogLine(Ansi(kFailedLine) + kCampaignCountryPrefix + number +
                  Ansi(" - numer telefonu może zawierać tylko cyfry"));
  TMessageResult result;
  result.number = number;
  result.destination = kCampaignCountryPrefix + number;
  Complete(result);
}

void TCampaign::AfterSend(modem::TZoGSM& sender, const std::string& nrTel, int sendingStatus, int reference,
                          int partNr, int total) {
  Pending& pending = pending_[&sender];
  if (partNr <= 1 || pending.result.destination != nrTel) {
    pending = Pending{};
    pending.result.destination = nrTel;
    pending.result.number = nrTel.size() > 3 ? nrTel.substr(3, 9) : std::string();
    pending.total = total;
  }
  TMessageResult& result = pending.result;
  ++result.parts;
  if (sendingStatus == 0) {
    // One line per message, naming its first failed part: the engine drops
    // the parts after a rejected one, and they are reported failed as well.
    if (result.failedParts.empty()) screen_.LogLine(FailedPartLine(nrTel, partNr, total));
    result.failedParts.push_back(partNr);
  } else {
    result.references.push_back(reference);
  }
  if (partNr != total) return;  // only the last part completes a message

  // Green only when every part of the message reached the network.
  result.sent = result.failedParts.empty() && result.parts == total;
  const TMessageResult completed = result;
  pending_.erase(&sender);
  if (auto at = std::find(handedOver_.begin(), handedOver_.end(), completed.destination); at != handedOver_.end()) {
    handedOver_.erase(at);
  }
  Complete(completed);
}

void TCampaign::Complete(const TMessageResult& result) {
  ++sentCounter_;
  results_.AppendResult(result.number, result.sent ? kColourSent : kColourFailed);
  SaveResults();
  screen_.MessageCompleted(result, sentCounter_);
}

bool TCampaign::SaveResults() {
  return results_.Exists() && !resultPath_.empty() && results_.SaveAs(resultPath_) == xls::kSaveOk;
}

bool TCampaign::Stop(bool askFirst) {
  // Messages handed to a modem and not yet reported are numbers left too:
  // stopping drops them, so the operator is asked and told which they are.
  const bool numbersLeft = !numbers_.Empty() || !handedOver_.empty();
  if (askFirst && numbersLeft && !screen_.ConfirmStop()) return false;
  for (const std::string& destination : handedOver_) {
    screen_.LogLine(Ansi(kFailedLine) + destination + Ansi(" - wysyłka zatrzymana"));
  }
  handedOver_.clear();
  pending_.clear();
  timer1_.SetEnabled(false);
  for (modem::TZoGSM* modem : modems_) {
    modem->SetHardModemStop(true);
    if (modem->Active()) modem->SetConnected(false);
    // The queued parts of a stopped campaign must not go out with the next connection.
    modem->ClearSendQueue();
    modem->SetQueueCount(0);
  }
  numbers_.Clear();
  screen_.Stopped();
  return true;
}

std::vector<std::string> TCampaign::MessagesInFlight() const { return handedOver_; }

}  // namespace app
