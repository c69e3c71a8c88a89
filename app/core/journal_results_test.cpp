// The result workbook written from the journal: every recipient's row
// coloured by its message's state, and a number skipped for an earlier
// campaign of the same text coloured as that campaign left it.

#include "app/core/journal_results.h"

#include <gtest/gtest.h>

#include "app/core/cell_text.h"
#include "app/core/fills.h"
#include "journal/sqlite_journal.h"
#include "platform/test_folder.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/worksheet.h"

namespace app {
namespace {

using journal::TMessageState;

int FillAt(const TResultWorkbook& book, int row) {
  return book.Sheet()->Cells()->Item(row, 1)->Interior()->ColorIndex();
}

class JournalResults : public ::testing::Test {
 protected:
  void SetUp() override {
    auto opened = journal::TSqliteJournal::Open(folder / "journal.sqlite");
    ASSERT_TRUE(opened);
    journal = std::move(*opened);
  }

  // A campaign of `numbers` on rows 1, 2, ...
  journal::TCampaignId Create(const std::vector<std::string>& numbers) {
    std::vector<journal::TRecipientEntry> entries;
    for (const std::string& number : numbers) {
      entries.push_back({static_cast<int>(entries.size()) + 1, number, number, "+48" + number});
    }
    auto id = journal->CreateCampaign({"Promocja", false, false, "", ""}, entries);
    EXPECT_TRUE(id);
    return id ? *id : 0;
  }

  // Takes the next message and answers its one part: sent, failed or lost.
  journal::TRecipientId Answer(journal::TCampaignId campaign, bool sent, bool uncertain = false) {
    auto job = journal->TakeNext(campaign, "IMEI");
    EXPECT_TRUE(job && job->has_value());
    const journal::TRecipientId id = (*job)->id;
    EXPECT_TRUE(journal->RecordSubmitting({id, 1, 1, std::nullopt, "IMEI"}));
    EXPECT_TRUE(journal->RecordAnswer({id, 1, sent, sent ? std::optional<int>(5) : std::nullopt, {}, uncertain}));
    return id;
  }

  platform::TestFolder folder;
  std::unique_ptr<journal::TSqliteJournal> journal;
};

TEST_F(JournalResults, EveryStateHasItsColourAndTheSkippedKeepTheEarlierCampaigns) {
  const journal::TCampaignId earlier = Create({"600100200", "600100201", "600100202"});
  Answer(earlier, /*sent=*/true);
  Answer(earlier, /*sent=*/false, /*uncertain=*/true);
  Answer(earlier, /*sent=*/false);

  const journal::TCampaignId later = Create({"600100200", "600100201", "600100202", "600100203", "60010020a"});
  const auto recipients = *journal->Recipients(later);
  ASSERT_TRUE(journal->MarkSkipped(recipients[0].id, AlreadyTextedNote(earlier)));
  ASSERT_TRUE(journal->MarkSkipped(recipients[1].id, AlreadyTextedNote(earlier)));
  ASSERT_TRUE(journal->MarkSkipped(recipients[4].id, Ansi("numer telefonu może zawierać tylko cyfry")));
  Answer(later, /*sent=*/true);  // 600100202, failed before, now sent

  TResultWorkbook book;
  AnsiString failure;
  ASSERT_TRUE(ResultsFromJournal(*journal, earlier, book, failure)) << failure;
  EXPECT_EQ(FillAt(book, 1), kFillSent);
  EXPECT_EQ(FillAt(book, 2), kFillUncertain);
  EXPECT_EQ(FillAt(book, 3), kFillFailed);

  ASSERT_TRUE(ResultsFromJournal(*journal, later, book, failure)) << failure;
  EXPECT_EQ(FillAt(book, 1), kFillSent);       // as the earlier campaign left it
  EXPECT_EQ(FillAt(book, 2), kFillUncertain);  // likewise
  EXPECT_EQ(FillAt(book, 3), kFillSent);
  EXPECT_EQ(FillAt(book, 4), xls::xlNone);  // still queued
  EXPECT_EQ(FillAt(book, 5), kFillFailed);
  EXPECT_EQ(ValueToText(book.Sheet()->Cells()->Item(5, 1)->Value()), "60010020a");
  EXPECT_EQ(book.NextFreeRow(), 6);
}

TEST_F(JournalResults, TheNoteOfASkippedNumberNamesItsEarlierCampaignAndNothingElseIsTakenForOne) {
  EXPECT_EQ(AlreadyTextedIn(AlreadyTextedNote(12)), 12);
  for (const char* note : {"", "numer telefonu może zawierać tylko cyfry", "ten tekst wysłano już w kampanii nr ",
                           "ten tekst wysłano już w kampanii nr 12a"}) {
    EXPECT_FALSE(AlreadyTextedIn(Ansi(note))) << note;
  }
}

TEST_F(JournalResults, AnUnknownCampaignLeavesTheWorkbookAsItWas) {
  TResultWorkbook book;
  AnsiString failure;
  EXPECT_FALSE(ResultsFromJournal(*journal, 9, book, failure));
  EXPECT_FALSE(book.Exists());
  EXPECT_FALSE(failure.empty());
}

}  // namespace
}  // namespace app
