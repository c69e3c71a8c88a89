#include "xls/interior.h"

#include <gtest/gtest.h>

#include "xls/workbook.h"

namespace xls {
namespace {

class Formats : public ::testing::Test {
 protected:
  IXLSRange Cell(int row, int column) { return sheet_->Cells()->Item(row, column); }
  const TXLSXF& XFOf(int row, int column) { return book_.XFList().Entry(sheet_->EffectiveXF(row - 1, column - 1)); }
  TXLSWorkbook book_;
  IXLSWorksheet* sheet_ = book_.Worksheets().Add();
};

TEST_F(Formats, ColorIndexSetsTheFillAsTheTableSays) {
  struct Case {
    int before;  // colour index set first, 0 for none
    int argument;
    int pattern, foreground, background;
    int readBack;
  };
  const Case cases[] = {
      {0, 46, 1, 53, 64, 46},         // empty cell: solid, background takes the old foreground
      {0, 3, 1, 10, 64, 3},           {0, 1, 1, 8, 64, 1},       {0, 56, 1, 63, 64, 56},
      {46, 4, 1, 11, 64, 4},          // solid: only the foreground changes
      {46, xlNone, 0, 64, 65, xlNone}, {46, 0, 0, 64, 65, xlNone},
      {0, xlAutomatic, 1, 65, 64, xlAutomatic},
      {46, 57, 1, 53, 64, 46},        // ignored
      {46, -1, 1, 53, 64, 46},        // ignored
  };
  int row = 1;
  for (const Case& c : cases) {
    if (c.before) Cell(row, 1)->Interior()->SetColorIndex(c.before);
    Cell(row, 1)->Interior()->SetColorIndex(c.argument);
    const TXLSXF& xf = XFOf(row, 1);
    EXPECT_EQ(xf.pattern, c.pattern) << c.argument;
    EXPECT_EQ(xf.Foreground(), c.foreground) << c.argument;
    EXPECT_EQ(xf.Background(), c.background) << c.argument;
    EXPECT_EQ(Cell(row, 1)->Interior()->ColorIndex(), c.readBack) << c.argument;
    ++row;
  }
}

TEST_F(Formats, FillOfAnEmptyCellCreatesABlankCellWithoutValue) {
  Cell(1, 1)->Interior()->SetColorIndex(46);
  ASSERT_NE(sheet_->CellHeap().Find(0, 0), nullptr);
  EXPECT_TRUE(Cell(1, 1)->Value().IsNull());
  EXPECT_EQ(Cell(1, 1)->Interior()->Color(), Rgb(0xFF, 0x66, 0x00));
  // Ignored arguments create nothing.
  Cell(5, 5)->Interior()->SetColorIndex(57);
  EXPECT_EQ(sheet_->CellHeap().Find(4, 4), nullptr);
  EXPECT_EQ(Cell(5, 5)->Interior()->ColorIndex(), xlNone);
  EXPECT_EQ(Cell(5, 5)->Interior()->Color(), 0u);
}

TEST_F(Formats, HatchedFillsTakeTheColourIntoTheBackground) {
  Cell(1, 1)->Interior()->SetColorIndex(46);
  Cell(1, 1)->Interior()->SetPattern(-4125);  // 50% grey, BIFF pattern 2
  EXPECT_EQ(XFOf(1, 1).pattern, 2);
  Cell(1, 1)->Interior()->SetColorIndex(3);
  EXPECT_EQ(XFOf(1, 1).Background(), 10);
  EXPECT_EQ(XFOf(1, 1).Foreground(), 53);
  EXPECT_EQ(Cell(1, 1)->Interior()->ColorIndex(), 3);
  EXPECT_EQ(Cell(1, 1)->Interior()->PatternColorIndex(), 46);
  EXPECT_EQ(Cell(1, 1)->Interior()->Pattern(), -4125);
}

TEST_F(Formats, PatternColorIndexMirrorsColorIndex) {
  Cell(1, 1)->Interior()->SetPatternColorIndex(4);  // pattern 0: solid, foreground takes the old background
  EXPECT_EQ(XFOf(1, 1).pattern, 1);
  EXPECT_EQ(XFOf(1, 1).Foreground(), 65);
  EXPECT_EQ(XFOf(1, 1).Background(), 11);
  EXPECT_EQ(Cell(1, 1)->Interior()->PatternColorIndex(), 4);
  Cell(1, 1)->Interior()->SetPatternColorIndex(xlAutomatic);
  EXPECT_EQ(XFOf(1, 1).Background(), 64);
  Cell(1, 1)->Interior()->SetPatternColorIndex(xlNone);
  EXPECT_EQ(XFOf(1, 1).pattern, 0);
}

TEST_F(Formats, FillColourBitsAboveTheBackgroundSurviveChanges) {
  TXLSXF marked = book_.XFList().Entry(0);
  marked.fillColours |= 0xC000;
  sheet_->SetCellXF(sheet_->GetOrCreateCell(0, 0), book_.XFList().FindOrAdd(marked));
  Cell(1, 1)->Interior()->SetColorIndex(46);
  Cell(1, 1)->Interior()->SetColorIndex(xlNone);
  EXPECT_EQ(XFOf(1, 1).fillColours & 0xC000, 0xC000);
}

TEST_F(Formats, ColorPicksTheNearestPaletteColour) {
  Cell(1, 1)->Interior()->SetColor(Rgb(0xFE, 0x65, 0x01));
  EXPECT_EQ(Cell(1, 1)->Interior()->ColorIndex(), 46);
  EXPECT_EQ(Cell(1, 1)->Interior()->Color(), Rgb(0xFF, 0x66, 0x00));
}

TEST_F(Formats, AlignmentArgumentsMapToCodesAndOthersAreIgnored) {
  const std::pair<int, int> horizontal[] = {{xlGeneral, 0}, {xlLeft, 1},    {xlCenter, 2},
                                            {xlRight, 3},   {xlFill, 4},    {xlJustify, 5},
                                            {xlCenterAcrossSelection, 6}, {xlDistributed, 7}};
  for (const auto& [argument, code] : horizontal) {
    Cell(1, 1)->SetHorizontalAlignment(argument);
    EXPECT_EQ(XFOf(1, 1).HorizontalAlignment(), code) << argument;
    EXPECT_EQ(Cell(1, 1)->HorizontalAlignment(), argument);
  }
  const std::pair<int, int> vertical[] = {{xlTop, 0}, {xlCenter, 1}, {xlBottom, 2}, {xlJustify, 3}, {xlDistributed, 4}};
  for (const auto& [argument, code] : vertical) {
    Cell(1, 1)->SetVerticalAlignment(argument);
    EXPECT_EQ(XFOf(1, 1).VerticalAlignment(), code) << argument;
  }
  Cell(2, 1)->SetHorizontalAlignment(xlCenter);
  Cell(2, 1)->SetVerticalAlignment(xlCenter);
  EXPECT_EQ(XFOf(2, 1).alignment, 0x12);
  Cell(2, 1)->SetHorizontalAlignment(99);
  Cell(2, 1)->SetVerticalAlignment(xlLeft);
  EXPECT_EQ(XFOf(2, 1).alignment, 0x12);
}

TEST_F(Formats, ColumnWidthConversions) {
  const std::pair<double, int> cases[] = {{15, 4022}, {300, 255 * 256 + 182}, {255, 255 * 256 + 182},
                                          {0.5, 230}, {1.5, 256 + 128 + 182}, {0, 0}, {-3, 0}};
  for (const auto& [characters, units] : cases) {
    Cell(1, 1)->SetColumnWidth(characters);
    EXPECT_EQ(sheet_->Columns().Find(0)->width, units) << characters;
  }
  EXPECT_EQ(TXLSRange::UnitsToWidth(4022), 15.0);
  EXPECT_EQ(TXLSRange::UnitsToWidth(230), 0.5);
  EXPECT_EQ(TXLSRange::UnitsToWidth(2340), 8.43);
  EXPECT_EQ(sheet_->Cells()->Item(1, 2)->ColumnWidth(), 8.43);  // the default column

  Variant widths = Variant::Array1D(2);
  widths.ArrayValue().elements = {Variant::Double(10), Variant::Double(20)};
  sheet_->Range(0, 3, 0, 6)->SetColumnWidth(widths);
  EXPECT_EQ(sheet_->Columns().Find(3)->width, 10 * 256 + 182);
  EXPECT_EQ(sheet_->Columns().Find(4)->width, 20 * 256 + 182);
  EXPECT_EQ(sheet_->Columns().Find(5), nullptr);  // beyond the array: left alone
}

TEST_F(Formats, EqualFormatsShareOneEntryAndUsageFollowsTheCells) {
  const int before = book_.XFList().Count();
  for (int row = 1; row <= 1000; ++row) Cell(row, 1)->Interior()->SetColorIndex(46);
  EXPECT_EQ(book_.XFList().Count(), before + 1);
  const std::uint32_t orange = sheet_->CellHeap().Find(0, 0)->xf;
  EXPECT_EQ(book_.XFList().UseCount(orange), 1000u);
  sheet_->Range(0, 0, 999, 0)->Interior()->SetColorIndex(4);
  EXPECT_EQ(book_.XFList().UseCount(orange), 0u);
  EXPECT_EQ(book_.XFList().UseCount(sheet_->CellHeap().Find(500, 0)->xf), 1000u);
}

TEST_F(Formats, WholeColumnsChangeTheColumnFormatInsteadOfCreatingCells) {
  Cell(3, 1)->SetValue(Variant::Text(u"x"));
  sheet_->Range(0, 0, kRowCount - 1, 0)->Interior()->SetColorIndex(3);
  EXPECT_EQ(sheet_->CellHeap().CellCount(), 1u);
  EXPECT_EQ(Cell(3, 1)->Interior()->ColorIndex(), 3);  // the existing cell changed
  EXPECT_EQ(Cell(60000, 1)->Interior()->ColorIndex(), 3);  // the column's format applies
  Cell(60000, 1)->SetValue(Variant::Double(1));             // a new cell takes it
  EXPECT_EQ(Cell(60000, 1)->Interior()->ColorIndex(), 3);
  EXPECT_EQ(Cell(1, 2)->Interior()->ColorIndex(), xlNone);

  sheet_->Cells()->SetHorizontalAlignment(xlRight);  // the whole sheet
  EXPECT_EQ(sheet_->CellHeap().CellCount(), 2u);
  EXPECT_EQ(Cell(7, 200)->HorizontalAlignment(), xlRight);

  sheet_->Range(9, 0, 9, kColumnCount - 1)->Interior()->SetColorIndex(4);  // a whole row
  EXPECT_EQ(sheet_->CellHeap().CellCount(), 2u);
  EXPECT_EQ(Cell(10, 100)->Interior()->ColorIndex(), 4);
}

TEST_F(Formats, FontChangesAddFontsAndKeepEqualOnesOnce) {
  const int fonts = book_.Fonts().Count();
  Cell(1, 1)->Font()->SetBold(true);
  Cell(2, 1)->Font()->SetBold(true);
  EXPECT_EQ(book_.Fonts().Count(), fonts + 1);
  EXPECT_TRUE(Cell(1, 1)->Font()->Bold());
  EXPECT_FALSE(Cell(3, 1)->Font()->Bold());
  Cell(1, 1)->Font()->SetSize(12);
  EXPECT_EQ(Cell(1, 1)->Font()->Size(), 12);
  EXPECT_EQ(Cell(1, 1)->Font()->Name(), u"Arial");
}

}  // namespace
}  // namespace xls
