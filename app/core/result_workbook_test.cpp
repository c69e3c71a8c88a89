// The result workbook and the number list together: every recipient keeps
// the row it was given, and a campaign's mark lands on that row whatever
// order the messages complete in.

#include "app/core/result_workbook.h"

#include <gtest/gtest.h>

#include "app/core/cell_text.h"
#include "app/core/fills.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/worksheet.h"

namespace app {
namespace {

AnsiString TextAt(const TResultWorkbook& book, int row) {
  return ValueToText(book.Sheet()->Cells()->Item(row, 1)->Value());
}

int FillAt(const TResultWorkbook& book, int row) {
  return book.Sheet()->Cells()->Item(row, 1)->Interior()->ColorIndex();
}

TEST(ResultWorkbook, ListRowsAreFixedAndMarksFollowThemOutOfOrder) {
  TNumberList list;
  list.SetExcludeDuplicates(true);
  for (const char* number : {"600100300", "600100100", "600100200", "600100100"}) list.Add(ListRecipient(number));
  TResultWorkbook book;
  book.Create();
  book.WriteList(list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(book.NextFreeRow(), 4);
  for (int i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.Recipient(i).row, i + 1);
    EXPECT_EQ(TextAt(book, i + 1), list[i]);
  }
  // The middle number leaves the list (the phone list window's "Usuń"):
  // the others keep their rows.
  list.Delete(1);
  EXPECT_EQ(list.Recipient(1).row, 3);
  EXPECT_EQ(list.Recipient(1).number, "600100300");
  // The last message completes first.
  book.Mark(list.Recipient(1).row, TResultMark::Failed);
  book.Mark(list.Recipient(0).row, TResultMark::Sent);
  EXPECT_EQ(FillAt(book, 1), kFillSent);
  EXPECT_EQ(FillAt(book, 2), xls::xlNone);
  EXPECT_EQ(FillAt(book, 3), kFillFailed);
  EXPECT_EQ(TextAt(book, 1), "600100100");
  EXPECT_EQ(TextAt(book, 2), "600100200");
  EXPECT_EQ(TextAt(book, 3), "600100300");
}

TEST(ResultWorkbook, AMarkWithoutARowChangesNothing) {
  TResultWorkbook book;
  book.Mark(1, TResultMark::Sent);  // no workbook yet
  book.Create();
  book.WriteNumberRow(1, "600100100");
  for (int row : {0, -1, xls::kRowCount + 1}) book.Mark(row, TResultMark::Sent);
  EXPECT_EQ(FillAt(book, 1), xls::xlNone);
  EXPECT_EQ(book.NextFreeRow(), 2);
}

}  // namespace
}  // namespace app
