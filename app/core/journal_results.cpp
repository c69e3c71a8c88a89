#include "app/core/journal_results.h"

#include <map>

namespace app {
namespace {

const AnsiString kAlreadyTexted = Ansi("ten tekst wysłano już w kampanii nr ");

// The states of the numbers of an earlier campaign, by national number.
using TStatesByNumber = std::map<std::string, journal::TMessageState>;

}  // namespace

std::optional<TResultMark> ResultMarkOf(journal::TMessageState state) {
  switch (state) {
    case journal::TMessageState::Sent:
    case journal::TMessageState::Delivered:
      return TResultMark::Sent;
    case journal::TMessageState::Failed:
    case journal::TMessageState::Skipped:
    case journal::TMessageState::Undelivered:
      return TResultMark::Failed;
    case journal::TMessageState::Uncertain:
      return TResultMark::Uncertain;
    case journal::TMessageState::Queued:
    case journal::TMessageState::Sending:
      break;
  }
  return std::nullopt;
}

AnsiString AlreadyTextedNote(journal::TCampaignId earlier) { return kAlreadyTexted + std::to_string(earlier); }

std::optional<journal::TCampaignId> AlreadyTextedIn(const AnsiString& note) {
  if (!note.starts_with(kAlreadyTexted)) return std::nullopt;
  const std::string digits = note.substr(kAlreadyTexted.size());
  if (digits.empty() || digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoll(digits);
}

bool ResultsFromJournal(journal::TCampaignJournal& journal, journal::TCampaignId campaign, TResultWorkbook& results,
                        AnsiString& failure) {
  auto recipients = journal.Recipients(campaign);
  if (!recipients) {
    failure = recipients.Error().text;
    return false;
  }
  // Read once per earlier campaign named, however many numbers it texted.
  std::map<journal::TCampaignId, TStatesByNumber> earlier;
  const auto earlierState = [&](journal::TCampaignId id, const std::string& number) {
    auto [at, fresh] = earlier.try_emplace(id);
    if (fresh) {
      if (auto read = journal.Recipients(id)) {
        for (const journal::TRecipientRecord& recipient : *read) at->second[recipient.entry.number] = recipient.state;
      }
    }
    const auto state = at->second.find(number);
    return state == at->second.end() ? std::optional<journal::TMessageState>() : state->second;
  };
  results.Create();
  for (const journal::TRecipientRecord& recipient : *recipients) {
    results.WriteNumberRow(recipient.entry.row, recipient.entry.number);
    std::optional<journal::TMessageState> state = recipient.state;
    if (recipient.state == journal::TMessageState::Skipped) {
      if (const auto id = AlreadyTextedIn(recipient.note)) state = earlierState(*id, recipient.entry.number);
    }
    if (const auto mark = state ? ResultMarkOf(*state) : std::nullopt) results.Mark(recipient.entry.row, *mark);
  }
  return true;
}

}  // namespace app
