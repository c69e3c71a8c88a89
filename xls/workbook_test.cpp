#include "xls/workbook.h"

#include <gtest/gtest.h>

#include "xls/interior.h"
#include "xls/range.h"

namespace xls {
namespace {

TEST(Worksheets, NewWorkbookHasNoSheetsAndAddNamesThemInTurn) {
  auto book = TXLSWorkbook::Create();
  IXLSWorkSheets& sheets = book->Worksheets();
  EXPECT_EQ(sheets.Count(), 0);
  EXPECT_EQ(sheets.ActiveSheet(), nullptr);
  IXLSWorksheet* first = sheets.Add();
  IXLSWorksheet* second = sheets.Add();
  EXPECT_EQ(first->Name(), u"Sheet1");
  EXPECT_EQ(second->Name(), u"Sheet2");
  EXPECT_EQ(first->SheetId(), 1);
  EXPECT_EQ(second->SheetId(), 2);
  EXPECT_EQ(sheets.ActiveSheet(), first);  // only the first sheet added becomes active
  EXPECT_EQ(sheets.Entries(1), first);
  EXPECT_EQ(second->Index(), 2);
  EXPECT_EQ(sheets.Entries(0), nullptr);
  EXPECT_EQ(sheets.Entries(3), nullptr);
  EXPECT_EQ(sheets.Entries(-1), nullptr);
}

TEST(Worksheets, DefaultNameSkipsNamesAlreadyTakenExactly) {
  TXLSWorkbook book;
  book.Worksheets().Add()->SetName(u"Sheet2");
  EXPECT_EQ(book.Worksheets().Add()->Name(), u"Sheet3");  // Sheet2 is taken
  book.Worksheets().Entries(2)->SetName(u"sheet3");      // comparison is case-sensitive
  EXPECT_EQ(book.Worksheets().Add()->Name(), u"Sheet3");
}

TEST(Worksheets, LongPrefixGivesShortUniqueNamesInsteadOfLoopingForever) {
  TXLSWorkbook book;
  book.SetSheetNamePrefix(std::u16string(40, u'x'));
  const std::u16string first = book.Worksheets().Add()->Name();
  const std::u16string second = book.Worksheets().Add()->Name();
  EXPECT_EQ(first.size(), 31u);
  EXPECT_EQ(first.back(), u'1');
  EXPECT_NE(first, second);
  EXPECT_LE(second.size(), 31u);
}

TEST(Worksheets, NamesAreCutTo31Characters) {
  TXLSWorkbook book;
  IXLSWorksheet* sheet = book.Worksheets().Add();
  sheet->SetName(std::u16string(40, u'a'));
  EXPECT_EQ(sheet->Name().size(), 31u);
}

TEST(Range, ItemAddressesCellsRelativeToTheRangeAndRejectsPositionsOffTheSheet) {
  TXLSWorkbook book;
  IXLSWorksheet* sheet = book.Worksheets().Add();
  struct Case {
    int row, column;
    int expectedRow, expectedColumn;  // -1: error
  };
  const Case cases[] = {
      {1, 1, 0, 0},         {65536, 256, 65535, 255}, {0, 1, -1, -1},
      {65537, 1, -1, -1},   {1, 257, -1, -1},         {1, 0, -1, -1},
      {-5, 1, -1, -1},      {2147483647, 1, -1, -1},
  };
  for (const Case& c : cases) {
    if (c.expectedRow < 0) {
      try {
        sheet->Cells()->Item(c.row, c.column);
        ADD_FAILURE() << c.row << "," << c.column << " gave no error";
      } catch (const XLSError& error) {
        EXPECT_STREQ(error.what(), "Invalid row/column index");
      }
      continue;
    }
    const TXLSArea area = sheet->Cells()->Item(c.row, c.column)->Area();
    EXPECT_EQ(area.firstRow, c.expectedRow);
    EXPECT_EQ(area.firstColumn, c.expectedColumn);
    EXPECT_EQ(area.lastRow, c.expectedRow);
  }
  // Relative to an inner range: (2,2) of C3:E5 is D4; corners are put in order.
  const IXLSRange inner = sheet->Range(4, 4, 2, 2);
  EXPECT_EQ(inner->Area().firstRow, 2);
  const TXLSArea d4 = inner->Item(2, 2)->Area();
  EXPECT_EQ(d4.firstRow, 3);
  EXPECT_EQ(d4.firstColumn, 3);
  EXPECT_THROW(inner->Item(1, 255), XLSError);  // column 2 + 254 = 256 is off the sheet
}

TEST(Range, CellsIsOneSharedRange) {
  TXLSWorkbook book;
  IXLSWorksheet* sheet = book.Worksheets().Add();
  EXPECT_EQ(sheet->Cells().get(), sheet->Cells().get());
  EXPECT_NE(sheet->Cells()->Item(1, 1).get(), sheet->Cells()->Item(1, 1).get());  // Item makes a new one
}

TEST(Workbook, ClearEmptiesEverythingButThePalette) {
  TXLSWorkbook book;
  IXLSWorksheet* sheet = book.Worksheets().Add();
  sheet->Cells()->Item(1, 1)->SetValue(Variant::Text(u"x"));
  sheet->Cells()->Item(1, 1)->Interior()->SetColorIndex(46);
  book.Palette().SetColour(46, Rgb(1, 2, 3));
  book.Names().push_back(TXLSName{});
  book.SetDate1904(true);
  book.Clear();
  EXPECT_EQ(book.Worksheets().Count(), 0);
  EXPECT_EQ(book.Strings().Count(), 0);
  EXPECT_EQ(book.XFList().Count(), 21);
  EXPECT_TRUE(book.Names().empty());
  EXPECT_FALSE(book.Date1904());
  EXPECT_EQ(book.Palette().Colour(46), Rgb(1, 2, 3));
  EXPECT_EQ(book.Worksheets().Add()->Name(), u"Sheet1");
}

TEST(Palette, DefaultEntriesAndColourIndexRange) {
  TXLSPalette palette;
  EXPECT_EQ(palette.Colour(3), Rgb(0xFF, 0, 0));
  EXPECT_EQ(palette.Colour(4), Rgb(0, 0xFF, 0));
  EXPECT_EQ(palette.Colour(38), Rgb(0xFF, 0x99, 0xCC));
  EXPECT_EQ(palette.Colour(46), Rgb(0xFF, 0x66, 0x00));
  const TXLSPalette before = palette;
  palette.SetColour(0, 0x123456);
  palette.SetColour(57, 0x123456);
  EXPECT_EQ(palette, before);
  palette.SetColour(56, 0x123456);
  EXPECT_EQ(palette.Entry(63), 0x123456u);
}

TEST(Palette, NearestEntryPrefersExactMatchThenLowestEntryOnTies) {
  TXLSPalette palette;
  EXPECT_EQ(palette.NearestEntry(Rgb(0xFF, 0x66, 0x00)), 53);
  EXPECT_EQ(palette.NearestEntry(Rgb(0, 0, 0)), 8);        // entry 8 is black (0-7 are not searched)
  EXPECT_EQ(palette.NearestEntry(Rgb(0xFF, 0, 0)), 10);    // also at entry 2, which is not searched
  EXPECT_EQ(palette.NearestEntry(Rgb(0xFE, 0x67, 0x01)), 53);
  EXPECT_EQ(palette.NearestEntry(Rgb(0x00, 0x00, 0x80)), 18);  // 18 and 32 are equal: the lower wins
}

}  // namespace
}  // namespace xls
