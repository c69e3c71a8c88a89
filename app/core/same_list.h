#pragma once
// The same list again: before a campaign begins, the journal is asked
// whether its text already went to some of its numbers in an earlier
// campaign (of the last days, or one not finished), so that nobody gets the
// same text twice unless the operator says so.
//
// Threads: main thread only.

#include <map>
#include <string>
#include <vector>

#include "app/core/view_types.h"
#include "journal/campaign_journal.h"

namespace app {

// How far back a campaign of the same text counts.
inline constexpr int kSameListDays = 7;

// An earlier campaign of the same text and the numbers it may have texted.
struct TAlreadyTexted {
  journal::TCampaignSummary earlier;
  std::vector<std::string> numbers;  // national numbers, in the earlier campaign's order
};

// The earlier campaigns (newest first) that may have texted `text` to some
// of `numbers`; a number counts for the newest such campaign only.
journal::TJournalResult<std::vector<TAlreadyTexted>> FindAlreadyTexted(journal::TCampaignJournal& journal,
                                                                     const AnsiString& text,
                                                                     const std::vector<std::string>& numbers);

// The numbers of `found` with the campaign that texted them, as
// TCampaign::SetAlreadyTexted takes them.
std::map<std::string, journal::TCampaignId> AlreadyTextedNumbers(const std::vector<TAlreadyTexted>& found);

}  // namespace app
