#pragma once
// The window's questions about earlier campaigns of the journal: an
// unfinished campaign found at start-up, its messages in doubt, and a list
// whose text already went to some of its numbers. What each question shows
// is read from the journal without changing it, so that a campaign the
// operator leaves alone stays exactly as it was (talvane-cli can continue it
// later).
//
// Threads: main thread only.

#include <optional>
#include <string>
#include <vector>

#include "app/core/view_types.h"
#include "journal/campaign_journal.h"

namespace app {

// How many numbers in doubt a question names before "i N innych".
inline constexpr int kUncertainNumbersNamed = 5;
// How much of the campaign's text a question quotes.
inline constexpr size_t kQuotedTextLength = 20;

// An unfinished campaign as a question shows it: what a resumption would
// find once the messages in flight are settled.
struct TUnfinishedCampaign {
  journal::TCampaignRecord campaign;
  int sent = 0;
  int left = 0;                        // still to be sent
  std::vector<std::string> uncertain;  // national numbers whose message may have reached them
};

// The campaign as a question shows it; nullopt when it is finished or has
// nothing left to send and nothing in flight.
std::optional<TUnfinishedCampaign> UnfinishedCampaign(const journal::TCampaignRecord& campaign,
                                                      const std::vector<journal::TRecipientRecord>& recipients);
// The newest unfinished campaign of the journal; nullopt when there is none
// or the journal cannot tell.
std::optional<TUnfinishedCampaign> NewestUnfinishedCampaign(journal::TCampaignJournal& journal);
// The unfinished campaign `id`; nullopt when it is finished or unreadable.
std::optional<TUnfinishedCampaign> UnfinishedCampaign(journal::TCampaignJournal& journal, journal::TCampaignId id);

// A journal time as the questions show it, local: "2026-12-11 09:30".
AnsiString CampaignTimeText(journal::TMillis created);
// The start of a campaign's text on one line, "Dzień dobry..." when cut.
AnsiString QuotedTextStart(const AnsiString& text);
// "600100200, 600100201 i 3 innych": the first numbers, then how many more.
AnsiString NumbersNamed(const std::vector<std::string>& numbers);

// The start-up question: continue the campaign? It names the command that
// continues it later through `port`.
AnsiString ResumeQuestion(const TUnfinishedCampaign& unfinished, const std::string& port);
// The second question: send the messages in doubt again?
AnsiString ResendUncertainQuestion(const std::vector<std::string>& uncertain);

// The same list again: `texted` of the list's `listed` numbers may already
// have the text, from campaigns of which the newest is `earlier`.
struct TSameListFinding {
  journal::TCampaignRecord earlier;
  int listed = 0;
  int texted = 0;
};
// Offered when `earlier` is unfinished: continue it instead of a new one?
AnsiString ContinueEarlierQuestion(const TSameListFinding& finding, const TUnfinishedCampaign& earlier);
// Send only to the numbers not texted yet?
AnsiString OnlyNewNumbersQuestion(const TSameListFinding& finding);
// The last word before texting somebody again: send to everybody?
AnsiString EverybodyAgainQuestion(const TSameListFinding& finding);

}  // namespace app
