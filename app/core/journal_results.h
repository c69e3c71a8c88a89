#pragma once
// The result workbook as the campaign journal has it: one row per recipient
// in the list's order, coloured by its message's state, the same layout and
// colours the campaign gives it while it runs. The journal is the truth: a
// workbook that could not be written while the campaign ran is written again
// from it at any time.
//
// A number left out of a campaign because an earlier campaign of the same
// text had texted it keeps the earlier campaign's colour, so that the rows
// say what the number has received.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <optional>
#include <string>
#include <vector>

#include "app/core/result_workbook.h"
#include "journal/campaign_journal.h"

namespace app {

// The campaign's colour of a message; none while it is left.
std::optional<TResultMark> ResultMarkOf(journal::TMessageState state);

// The note of a number skipped because campaign `earlier` had texted it.
AnsiString AlreadyTextedNote(journal::TCampaignId earlier);
// The earlier campaign named by such a note; none for any other note.
std::optional<journal::TCampaignId> AlreadyTextedIn(const AnsiString& note);

// Fills `results` (created anew) with the rows and colours of the
// campaign's recipients. False, `results` untouched, when the journal cannot
// be read; `failure` says why.
bool ResultsFromJournal(journal::TCampaignJournal& journal, journal::TCampaignId campaign, TResultWorkbook& results,
                        AnsiString& failure);

}  // namespace app
