#include "app/window/campaign_questions.h"

#include <algorithm>
#include <ctime>
#include <map>

namespace app {

namespace {

using journal::TMessageState;
using journal::TPartState;

// A message sending when the program stopped: in doubt when the latest
// submission of one of its parts has no answer (or its answer was lost);
// otherwise it simply resumes.
bool InDoubt(const journal::TRecipientRecord& recipient) {
  std::map<int, TPartState> latest;
  for (const journal::TPartRecord& part : recipient.partLog) latest[part.partNo] = part.state;
  return std::any_of(latest.begin(), latest.end(), [](const auto& part) {
    return part.second == TPartState::Submitting || part.second == TPartState::Uncertain;
  });
}

std::string Count(int count) { return std::to_string(count); }

// "inny", "inne", "innych": the form Polish gives "other" after a count.
std::string Others(size_t count) {
  if (count == 1) return "inny";
  const size_t lastDigit = count % 10;
  const size_t lastTwo = count % 100;
  if (lastDigit >= 2 && lastDigit <= 4 && (lastTwo < 12 || lastTwo > 14)) return "inne";
  return "innych";
}

// The three answers of the same-list questions, as the box's buttons mean them.
AnsiString Answers(const char* yes, const char* no) {
  return Ansi("\n\nTak: ") + Ansi(yes) + Ansi("\nNie: ") + Ansi(no) + Ansi("\nAnuluj: nic nie wysyłaj");
}

AnsiString AlreadyTexted(const TSameListFinding& finding) {
  return Ansi("Tę samą treść wysłano już do numerów tej listy: ") + Count(finding.texted) + Ansi(" z ") +
         Count(finding.listed);
}

}  // namespace

std::optional<TUnfinishedCampaign> UnfinishedCampaign(const journal::TCampaignRecord& campaign,
                                                      const std::vector<journal::TRecipientRecord>& recipients) {
  if (campaign.state == journal::TCampaignState::Finished) return std::nullopt;
  TUnfinishedCampaign unfinished;
  unfinished.campaign = campaign;
  bool leftOrInFlight = false;
  for (const journal::TRecipientRecord& recipient : recipients) {
    switch (recipient.state) {
      case TMessageState::Queued:
        ++unfinished.left;
        leftOrInFlight = true;
        break;
      case TMessageState::Sending:
        leftOrInFlight = true;
        if (InDoubt(recipient)) {
          unfinished.uncertain.push_back(recipient.entry.number);
        } else {
          ++unfinished.left;
        }
        break;
      case TMessageState::Uncertain: unfinished.uncertain.push_back(recipient.entry.number); break;
      case TMessageState::Sent:
      case TMessageState::Delivered:
      case TMessageState::Undelivered: ++unfinished.sent; break;
      case TMessageState::Failed:
      case TMessageState::Skipped: break;
    }
  }
  if (!leftOrInFlight) return std::nullopt;
  return unfinished;
}

std::optional<TUnfinishedCampaign> UnfinishedCampaign(journal::TCampaignJournal& journal, journal::TCampaignId id) {
  const auto summary = journal.Summary(id);
  const auto recipients = journal.Recipients(id);
  if (!summary || !recipients) return std::nullopt;
  return UnfinishedCampaign(summary->campaign, *recipients);
}

std::optional<TUnfinishedCampaign> NewestUnfinishedCampaign(journal::TCampaignJournal& journal) {
  const auto campaigns = journal.Campaigns(/*unfinishedOnly=*/true);
  if (!campaigns) return std::nullopt;
  for (const journal::TCampaignSummary& summary : *campaigns) {
    const auto recipients = journal.Recipients(summary.campaign.id);
    if (!recipients) continue;
    if (auto unfinished = UnfinishedCampaign(summary.campaign, *recipients)) return unfinished;
  }
  return std::nullopt;
}

AnsiString CampaignTimeText(journal::TMillis created) {
  const std::time_t seconds = static_cast<std::time_t>(created / 1000);
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[32];
  // Digits and separators only: the same in the program's code page.
  return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local));
}

AnsiString QuotedTextStart(const AnsiString& text) {
  AnsiString start = text.substr(0, kQuotedTextLength);
  std::replace_if(start.begin(), start.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
  return text.size() > kQuotedTextLength ? start + "..." : start;
}

AnsiString NumbersNamed(const std::vector<std::string>& numbers) {
  const size_t named = std::min(numbers.size(), static_cast<size_t>(kUncertainNumbersNamed));
  AnsiString text;
  for (size_t i = 0; i < named; ++i) text += (i == 0 ? "" : ", ") + numbers[i];
  const size_t others = numbers.size() - named;
  if (others > 0) text += " i " + std::to_string(others) + " " + Others(others);
  return text;
}

AnsiString ResumeQuestion(const TUnfinishedCampaign& unfinished, const std::string& port) {
  return Ansi("Znaleziono niedokończoną wysyłkę z ") + CampaignTimeText(unfinished.campaign.created) + " (\"" +
         QuotedTextStart(unfinished.campaign.campaign.text) + Ansi("\"): wysłano ") + Count(unfinished.sent) +
         Ansi(", pozostało ") + Count(unfinished.left) + Ansi(", niepewne ") +
         Count(static_cast<int>(unfinished.uncertain.size())) + Ansi(". Kontynuować wysyłkę?") +
         Ansi("\n\nNie: wysyłka zostaje w dzienniku; można ją dokończyć później poleceniem: "
              "talvane-cli campaign --resume ") +
         std::to_string(unfinished.campaign.id) + " --port " + Ansi(port);
}

AnsiString ResendUncertainQuestion(const std::vector<std::string>& uncertain) {
  return Ansi("Modem nie potwierdził wysłania wiadomości do: ") + NumbersNamed(uncertain) +
         Ansi(".\nTe wiadomości mogły już dotrzeć do odbiorców. Wysłać je ponownie?");
}

AnsiString ContinueEarlierQuestion(const TSameListFinding& finding, const TUnfinishedCampaign& earlier) {
  return AlreadyTexted(finding) + Ansi(". Wysyłka tej treści z ") + CampaignTimeText(earlier.campaign.created) +
         Ansi(" nie została dokończona (pozostało ") + Count(earlier.left) +
         Ansi("). Kontynuować tamtą wysyłkę zamiast zaczynać nową?") +
         Answers("kontynuuj tamtą wysyłkę", "wybierz, do kogo wysłać nową");
}

AnsiString OnlyNewNumbersQuestion(const TSameListFinding& finding) {
  return AlreadyTexted(finding) + Ansi(" (ostatnio w wysyłce z ") + CampaignTimeText(finding.earlier.created) +
         Ansi("). Wysłać tylko do numerów, do których jeszcze jej nie wysłano (") +
         Count(finding.listed - finding.texted) + ")?" +
         Answers("tylko do nowych numerów", "zapytaj o wysłanie do wszystkich");
}

AnsiString EverybodyAgainQuestion(const TSameListFinding& finding) {
  return Ansi("Wysłać do wszystkich numerów listy (") + Count(finding.listed) +
         Ansi(")? Tę samą wiadomość dostaną ponownie także ci, do których już ją wysłano (") + Count(finding.texted) +
         ").";
}

}  // namespace app
