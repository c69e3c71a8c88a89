#include "app/core/campaign.h"

#include <algorithm>
#include <numeric>

#include "app/core/input_file_guard.h"
#include "app/core/journal_results.h"
#include "app/core/view_types.h"
#include "modem/zogsm_settings.h"
#include "xls/result_codes.h"

namespace app {
namespace {

constexpr const char* kFailedLine = "BŁĄD! nie udało się wysłać wiadomości do: ";

// Which part of a longer message a log line is about.
AnsiString PartOf(const modem::TPartReport& report) {
  const int total = report.part.totalParts;
  if (total <= 1) return {};
  return Ansi(" (część ") + std::to_string(report.part.partNumber) + Ansi(" z ") + std::to_string(total) + ")";
}

// The log line of a failed part: a part of a longer message says which, and
// the modem's reason follows when it gave one.
AnsiString FailedPartLine(const modem::TRecipient& recipient, const modem::TPartReport& report) {
  AnsiString line = Ansi(kFailedLine) + recipient.destination + PartOf(report);
  if (!report.cause.empty()) line += " - " + report.cause;
  return line;
}

// The log line of a part whose answer was lost: the operator must know the
// message may have reached its recipient and will not go out again by itself.
AnsiString UncertainPartLine(const modem::TRecipient& recipient, const modem::TPartReport& report) {
  return Ansi("NIEPEWNE! wiadomość do: ") + recipient.destination + PartOf(report) +
         Ansi(" mogła zostać wysłana - brak odpowiedzi modemu; nie zostanie wysłana ponownie");
}

TResultMark MarkOf(const TMessageResult& result) {
  if (result.sent) return TResultMark::Sent;
  return result.uncertain ? TResultMark::Uncertain : TResultMark::Failed;
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
      screen_(screen) {
  // The engines take their copy when they start: set while they are inactive.
  for (modem::TZoGSM* modem : modems_) {
    modem->OnAboutToSubmit = [this](const modem::TQueuedPart& part) { return recorder_.AboutToSubmit(part); };
  }
}

void TCampaign::ResetCounters() {
  completed_ = 0;
  sent_ = 0;
  handedOver_ = 0;
  finished_ = false;
  stopped_ = false;
  stopAfterInHand_ = false;
  journalFailureShown_ = false;
  resultsFailureShown_ = false;
  uncertain_.clear();
  uncertainEarlier_ = 0;
  lastModemSeen_ = std::chrono::steady_clock::now();
  inHand_.clear();
  notSentAtStop_.clear();
}

bool TCampaign::Start() {
  resumedText_.reset();
  resumedResultPath_.reset();
  if (text_().text.empty()) {
    screen_.EmptyText();
    return false;
  }
  std::vector<modem::TRecipient> recipients;
  for (int i = 0; i < numbers_.Count(); ++i) recipients.push_back(RecipientAt(i));
  if (!recorder_.Begin(text_(), recipients, resultPath_)) {
    screen_.JournalRefused(recorder_.Failure());
    return false;
  }
  SkipAlreadyTexted();
  BeginSteps();
  return true;
}

bool TCampaign::Resume(journal::TCampaignId id, bool resendUncertain) {
  resumed_ = {};
  if (!recorder_.Resume(id, resendUncertain, resumed_)) {
    screen_.JournalRefused(recorder_.Failure());
    return false;
  }
  const journal::TNewCampaign& campaign = resumed_.campaign.campaign;
  resumedText_ = TCampaignText{campaign.text, campaign.ucs2, campaign.flash};
  resumedResultPath_ = campaign.resultFile;
  numbers_.Clear();
  numbers_.SetExcludeDuplicates(false);  // the journal's order, repeats as they were listed
  for (const journal::TRecipientRecord& recipient : resumed_.recipients) {
    if (recipient.state != journal::TMessageState::Queued) continue;
    numbers_.Add(ListRecipient(recipient.entry.number, recipient.entry.row, recipient.entry.numberRead));
  }
  AnsiString failure;
  if (!ResultsFromJournal(*recorder_.Journal(), id, results_, failure)) {
    screen_.JournalRefused(failure);
    return false;
  }
  BeginSteps();
  // Left in doubt by the campaign's earlier run, they are still without a
  // message anyone knows of.
  for (const journal::TRecipientRecord& recipient : resumed_.recipients) {
    if (recipient.state != journal::TMessageState::Uncertain) continue;
    uncertain_.push_back(ListRecipient(recipient.entry.number, recipient.entry.row, recipient.entry.numberRead));
    uncertain_.back().destination = recipient.entry.destination;
  }
  uncertainEarlier_ = static_cast<int>(uncertain_.size());
  SaveResults();
  return true;
}

void TCampaign::SkipAlreadyTexted() {
  if (alreadyTexted_.empty()) return;
  for (int i = numbers_.Count() - 1; i >= 0; --i) {
    const modem::TRecipient recipient = RecipientAt(i);
    const auto earlier = alreadyTexted_.find(recipient.number);
    if (earlier == alreadyTexted_.end()) continue;
    recorder_.Skip(recipient, AlreadyTextedNote(earlier->second));
    numbers_.Delete(i);
  }
  alreadyTexted_.clear();
  // Their rows take the earlier campaign's colours.
  if (journal::TCampaignJournal* journal = recorder_.Journal()) {
    AnsiString failure;
    ResultsFromJournal(*journal, *recorder_.Campaign(), results_, failure);
  }
}

std::string TCampaign::ModemName(const modem::TZoGSM& modem) {
  // The identity follows the modem to another port, and tells two modems
  // apart that take turns on one.
  const std::string& identity = modem.ModemIdentity();
  return identity.empty() ? modem.ComPort() : identity;
}

void TCampaign::BeginSteps() {
  for (modem::TZoGSM* modem : modems_) {
    if (modem->Connected()) continue;
    modem->SetActive(true);
    modem->SetSuppressAutoReconnect(false);
    modem->SetConnected(true);
  }
  ResetCounters();
  timer1_.SetEnabled(true);
  screen_.Started(numbers_.Count());
}

int TCampaign::QueueCount() const {
  return std::accumulate(modems_.begin(), modems_.end(), 0,
                         [](int sum, const modem::TZoGSM* modem) { return sum + modem->QueueCount(); });
}

bool TCampaign::AnyConnected() const {
  return std::any_of(modems_.begin(), modems_.end(), [](const modem::TZoGSM* modem) { return modem->Connected(); });
}

modem::TRecipient TCampaign::RecipientAt(int index) const {
  modem::TRecipient recipient = numbers_.Recipient(index);
  recipient.destination = modem::kCountryPrefix + recipient.number;
  return recipient;
}

std::vector<modem::TRecipient> TCampaign::MessagesInFlight() const {
  std::vector<const InHand*> ordered;
  for (const auto& [row, message] : inHand_) ordered.push_back(&message);
  std::sort(ordered.begin(), ordered.end(), [](const InHand* a, const InHand* b) { return a->handedAt < b->handedAt; });
  std::vector<modem::TRecipient> recipients;
  for (const InHand* message : ordered) recipients.push_back(message->result.recipient);
  return recipients;
}

std::vector<modem::TRecipient> TCampaign::NotSent() const { return stopped_ ? notSentAtStop_ : Unsent(); }

std::vector<modem::TRecipient> TCampaign::Unsent() const {
  std::vector<modem::TRecipient> recipients = MessagesInFlight();
  for (int i = 0; i < numbers_.Count(); ++i) recipients.push_back(RecipientAt(i));
  return recipients;
}

bool TCampaign::NoModemForTooLong() const {
  return std::chrono::steady_clock::now() - lastModemSeen_ >= noModemLimit_;
}

void TCampaign::Step() {
  // The last message may complete as its modem goes (a line dropped after
  // the last answer): nothing is left to wait for.
  if (!AnyConnected() && inHand_.empty() && numbers_.Empty() && QueueCount() == 0) {
    EndOfSteps();
    return;
  }
  if (!AnyConnected()) {
    if (NoModemForTooLong()) {
      const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(noModemLimit_).count();
      screen_.LogLine(Ansi("Wysyłka przerwana: brak połączenia z modemem GSM od ") + std::to_string(seconds) +
                      " s");
      Stop(/*askFirst=*/false);
      // An attempt already under way would otherwise still run and be logged.
      for (modem::TZoGSM* modem : modems_) modem->SetActive(false);
    } else if (stopAfterInHand_) {
      Stop(/*askFirst=*/false);  // no modem left to complete them
    }
    return;  // waiting for the connection
  }
  lastModemSeen_ = std::chrono::steady_clock::now();
  StopOnJournalFailure();
  screen_.Stepped(QueueCount(), numbers_.Count());

  bool refusedNumber = false;
  for (modem::TZoGSM* modem : modems_) {
    // The journal names the modem by its identity: a modem is fed once it
    // has told who it is.
    if (stopAfterInHand_ || !modem->Connected() || !modem->Identified() ||
        modem->QueueCount() >= kCampaignQueueLimit || numbers_.Empty()) {
      continue;
    }
    const std::optional<int> index = NextFor(*modem);
    if (!index) continue;
    const modem::TRecipient recipient = RecipientAt(*index);
    if (!IsSendableNumber(recipient.number)) {
      // Taking it uses this step: the end test below must not mistake the
      // empty queue for the end while numbers remain.
      Refuse(*index, recipient);
      refusedNumber = true;
      continue;
    }
    Feed(*modem, *index, recipient);
  }
  // A journal that failed while a message was taken stops the campaign
  // (with its reason) rather than letting the end test below finish it.
  StopOnJournalFailure();

  if (!inHand_.empty() || refusedNumber || QueueCount() != 0) return;
  if (WaitingForTheirModem() || WaitingForIdentification()) return;
  EndOfSteps();
}

void TCampaign::EndOfSteps() {
  if (stopAfterInHand_) {
    Stop(/*askFirst=*/false);
  } else {
    Finish();
  }
}

std::optional<int> TCampaign::NextFor(const modem::TZoGSM& modem) const {
  const std::string name = ModemName(modem);
  for (int i = 0; i < numbers_.Count(); ++i) {
    if (recorder_.MayTake(numbers_.Recipient(i).row, name)) return i;
  }
  return std::nullopt;
}

bool TCampaign::WaitingForIdentification() const {
  if (numbers_.Empty()) return false;
  return std::any_of(modems_.begin(), modems_.end(),
                     [](const modem::TZoGSM* modem) { return modem->Connected() && !modem->Identified(); });
}

bool TCampaign::WaitingForTheirModem() const {
  const bool modemAway = std::any_of(modems_.begin(), modems_.end(),
                                     [](const modem::TZoGSM* modem) { return !modem->Connected(); });
  if (!modemAway) return false;
  for (int i = 0; i < numbers_.Count(); ++i) {
    if (!recorder_.BoundModem(numbers_.Recipient(i).row).empty()) return true;
  }
  return false;
}

void TCampaign::Feed(modem::TZoGSM& modem, int index, const modem::TRecipient& recipient) {
  const TCampaignText text = CurrentText();  // the editor's text as it is now
  if (text.text.empty()) return;  // the number stays at the head
  if (recorder_.Take(recipient, ModemName(modem)) != TCampaignRecorder::TTake::Taken) return;
  modem::TOutgoingMessage message;
  message.recipient = recipient;
  message.text = text.text;
  message.marker = recipient.number;
  message.mergeMax = kCampaignMergeMax;
  message.ucs2 = text.ucs2;
  message.flash = text.flash;
  recorder_.ResumeParts(recipient, message);
  const int parts = modem.Send(message);
  if (parts <= 0) {
    recorder_.Hold(recipient);  // the number stays in the list, taken for this modem
    return;
  }
  numbers_.Delete(index);
  InHand& inHand = inHand_[recipient.row];
  inHand = InHand{};
  inHand.modem = &modem;
  inHand.handedAt = handedOver_++;
  inHand.total = parts;
  inHand.result.recipient = recipient;
  screen_.NumberTaken(recipient);
  screen_.SendingTo(recipient);
}

void TCampaign::Refuse(int index, const modem::TRecipient& recipient) {
  numbers_.Delete(index);
  screen_.NumberTaken(recipient);
  // Such a number would be encoded as a destination of garbage digits and
  // delivered to whoever the network makes of it.
  const AnsiString reason = Ansi("numer telefonu może zawierać tylko cyfry");
  recorder_.Skip(recipient, reason);
  screen_.LogLine(Ansi(kFailedLine) + recipient.destination + " - " + reason);
  TMessageResult refused;
  refused.recipient = recipient;
  Complete(refused);
}

void TCampaign::PartReported(modem::TZoGSM& sender, const modem::TPartReport& report) {
  const modem::TRecipient& recipient = report.part.recipient;
  recorder_.Answer(report);
  const auto at = inHand_.find(recipient.row);
  // A part of a stopped campaign, or of a message this campaign did not send.
  if (at == inHand_.end() || at->second.modem != &sender || !(at->second.result.recipient == recipient)) return;
  InHand& message = at->second;
  TMessageResult& result = message.result;
  ++result.parts;
  if (!report.sent && report.uncertain) {
    if (message.uncertainParts.empty()) screen_.LogLine(UncertainPartLine(recipient, report));
    message.uncertainParts.push_back(report.part.partNumber);
  } else if (!report.sent) {
    // One line per message, naming its first failed part: the engine drops
    // the parts after a rejected one, and they are reported failed as well.
    // The parts given up after one in doubt were said with it.
    if (result.failedParts.empty() && message.uncertainParts.empty()) {
      screen_.LogLine(FailedPartLine(recipient, report));
    }
    result.failedParts.push_back(report.part.partNumber);
  } else {
    result.references.push_back(report.reference);
  }
  if (result.parts < message.total) return;  // the message completes with its last report

  // A part in doubt makes the whole message so, the parts given up after it included.
  result.uncertain = !message.uncertainParts.empty();
  result.sent = result.failedParts.empty() && !result.uncertain;
  const TMessageResult completed = result;
  inHand_.erase(at);
  Complete(completed);
}

void TCampaign::Complete(const TMessageResult& result) {
  ++completed_;
  if (result.sent) ++sent_;
  if (result.uncertain) uncertain_.push_back(result.recipient);
  results_.Mark(result.recipient.row, MarkOf(result));
  SaveResults();
  screen_.MessageCompleted(result, completed_);
}

void TCampaign::Finish() {
  timer1_.SetEnabled(false);
  finished_ = true;
  recorder_.End(journal::TCampaignState::Finished);
  ShowJournalFailure();  // the campaign's last record may fail as well
  // The operator has to know where the rows went, the manual list's
  // workbook included.
  if (SaveResults()) screen_.LogLine(Ansi("Zapisano plik wynikowy: ") + Ansi(ResultPath()));
  // The messages an earlier run left in doubt are still without a message
  // anyone knows of: the campaign did not end well for them.
  const int notSent = completed_ - sent_ + numbers_.Count() + uncertainEarlier_;
  if (notSent > 0) screen_.LogLine(FinishedWithFailuresText(sent_, notSent));
  screen_.Finished(sent_, notSent);
}

bool TCampaign::SaveResults() {
  const std::string& path = ResultPath();
  if (path.empty()) return false;
  TResultWorkbook fromJournal;
  TResultWorkbook* written = &results_;
  if (journal::TCampaignJournal* journal = recorder_.Journal()) {
    AnsiString failure;
    // Without the journal's rows the campaign's own say the same.
    if (ResultsFromJournal(*journal, *recorder_.Campaign(), fromJournal, failure)) written = &fromJournal;
  }
  if (!written->Exists()) return false;
  // Written under a spreadsheet program that has it open, it would be
  // overwritten again by the program's own copy.
  if (const std::optional<AnsiString> held = HeldByAnotherProgram(path)) {
    ResultsNotWritten(*held);
    return false;
  }
  if (const int saved = written->SaveAs(path); saved != xls::kSaveOk) {
    ResultsNotWritten(Ansi(xls::SaveResultReason(saved, path)));
    return false;
  }
  return true;
}

void TCampaign::ResultsNotWritten(const AnsiString& reason) {
  if (resultsFailureShown_) return;
  resultsFailureShown_ = true;
  AnsiString line = Ansi("Nie udało się zapisać pliku wynikowego ") + Ansi(ResultPath()) + " - " + reason +
                    Ansi("; wysyłka trwa dalej");
  if (const auto campaign = recorder_.Campaign()) {
    line += Ansi(", plik zapisze później polecenie: talvane-cli campaigns export ") + std::to_string(*campaign);
  }
  screen_.LogLine(line);
}

void TCampaign::StopOnJournalFailure() {
  if (!ShowJournalFailure()) return;
  StopAfterMessagesInHand();
}

bool TCampaign::ShowJournalFailure() {
  const AnsiString failure = recorder_.Failure();
  if (failure.empty()) return false;
  if (!journalFailureShown_) {
    journalFailureShown_ = true;
    screen_.LogLine(Ansi("Wysyłka przerwana: dziennik wysyłki - ") + failure);
  }
  return true;
}

void TCampaign::StopAfterMessagesInHand() { stopAfterInHand_ = true; }

bool TCampaign::Stop(bool askFirst) {
  // Messages handed to a modem and not yet reported are numbers left too:
  // stopping drops them, so the operator is asked and told which they are.
  const bool numbersLeft = !numbers_.Empty() || !inHand_.empty();
  if (askFirst && numbersLeft && !screen_.ConfirmStop()) return false;
  notSentAtStop_ = Unsent();
  for (const modem::TRecipient& recipient : MessagesInFlight()) {
    screen_.LogLine(Ansi(kFailedLine) + recipient.destination + Ansi(" - wysyłka zatrzymana"));
  }
  inHand_.clear();
  stopped_ = true;
  stopAfterInHand_ = false;
  timer1_.SetEnabled(false);
  for (modem::TZoGSM* modem : modems_) {
    modem->SetHardModemStop(true);
    if (modem->Active()) modem->SetConnected(false);
    // The queued parts of a stopped campaign must not go out with the next connection.
    modem->ClearSendQueue();
    modem->SetQueueCount(0);
  }
  recorder_.End(journal::TCampaignState::Stopped);
  ShowJournalFailure();
  numbers_.Clear();
  screen_.Stopped();
  return true;
}

AnsiString FinishedWithFailuresText(int sent, int notSent) {
  return Ansi("Wysyłka zakończona: wysłano ") + std::to_string(sent) + Ansi(", nie wysłano ") +
         std::to_string(notSent);
}

}  // namespace app
