#include <gtest/gtest.h>

#include "xls/interior.h"
#include "xls/range.h"
#include "xls/workbook.h"

namespace xls {
namespace {

class RangeValue : public ::testing::Test {
 protected:
  IXLSRange Cell(int row, int column) { return sheet_->Cells()->Item(row, column); }
  TXLSWorkbook book_;
  IXLSWorksheet* sheet_ = book_.Worksheets().Add();
};

TEST_F(RangeValue, AssignedValuesReadBackByKind) {
  struct Case {
    const char* what;
    Variant assigned;
    Variant expected;
  };
  const Case cases[] = {
      {"number", Variant::Double(600123456), Variant::Double(600123456.0)},
      {"digits as text", Variant::Text(u"600123456"), Variant::Text(u"600123456")},
      {"integer", Variant::Int(-7, VariantKind::Int16), Variant::Double(-7)},
      {"unsigned 64", Variant::UInt(1ull << 40, VariantKind::UInt64), Variant::Double(1099511627776.0)},
      {"single", Variant::Single(0.5f), Variant::Double(0.5)},
      {"currency", Variant::Currency(12345678), Variant::Double(1234.5678)},
      {"boolean true", Variant::Boolean(true), Variant::Boolean(true)},
      {"boolean false", Variant::Boolean(false), Variant::Boolean(false)},
      {"8-bit text", Variant::AnsiText("Za\xBF\xF3\xB3\xE6"), Variant::Text(u"Zażółć")},
      {"apostrophe removed once", Variant::Text(u"'0123"), Variant::Text(u"0123")},
      {"second apostrophe kept", Variant::Text(u"''x"), Variant::Text(u"'x")},
      {"lone apostrophe: empty text", Variant::Text(u"'"), Variant::Text(u"")},
      {"formula text without calculator", Variant::Text(u"=1+2"), Variant::Text(u"=1+2")},
      {"quoted formula text", Variant::Text(u"'=1+2"), Variant::Text(u"=1+2")},
      {"empty text", Variant::Text(u""), Variant::Null()},
      {"empty", Variant::Empty(), Variant::Null()},
      {"null", Variant::Null(), Variant::Null()},
      {"date", Variant::Date(45000.25), Variant::Date(45000.25)},
      {"date before March 1900", Variant::Date(30), Variant::Date(30)},
      {"date 60", Variant::Date(60.5), Variant::Date(60.5)},
      {"date 61", Variant::Date(61), Variant::Date(61)},
  };
  for (const Case& c : cases) {
    Cell(1, 1)->SetValue(c.assigned);
    EXPECT_EQ(Cell(1, 1)->Value(), c.expected) << c.what;
  }
}

TEST_F(RangeValue, DatesAreStoredAsFileDayCounts) {
  const std::pair<double, double> cases[] = {{1, 0}, {30, 29}, {60.5, 59.5}, {61, 61}, {0.5, 0.5}, {45000, 45000}};
  for (const auto& [assigned, stored] : cases) {
    Cell(2, 2)->SetValue(Variant::Date(assigned));
    EXPECT_EQ(sheet_->CellHeap().Find(1, 1)->number, stored) << assigned;
    EXPECT_EQ(sheet_->CellHeap().Find(1, 1)->kind, CellKind::Date);
  }
}

TEST_F(RangeValue, ReadingNeverCreatesCells) {
  EXPECT_TRUE(Cell(5, 5)->Value().IsNull());
  EXPECT_TRUE(Cell(65536, 256)->Value().IsNull());
  EXPECT_TRUE(sheet_->CellHeap().Empty());
  Cell(1, 1)->SetValue(Variant::Double(1));
  EXPECT_TRUE(Cell(2, 1)->Value().IsNull());  // past the last used row
  EXPECT_EQ(sheet_->CellHeap().CellCount(), 1u);
}

TEST_F(RangeValue, EmptyTextLeavesABlankCellThatKeepsItsFormat) {
  Cell(3, 1)->SetValue(Variant::Text(u"600123456"));
  Cell(3, 1)->Interior()->SetColorIndex(3);
  Cell(3, 1)->SetValue(Variant::Text(u""));
  const TXLSCellRef* cell = sheet_->CellHeap().Find(2, 0);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->kind, CellKind::Blank);
  EXPECT_TRUE(Cell(3, 1)->Value().IsNull());
  EXPECT_EQ(Cell(3, 1)->Interior()->ColorIndex(), 3);
  EXPECT_EQ(book_.Strings().UseCount(0), 0u);  // the old text was released
}

TEST_F(RangeValue, TextWithLineFeedTurnsWrappingOn) {
  Cell(1, 1)->SetValue(Variant::Text(u"a\nb"));
  EXPECT_TRUE(Cell(1, 1)->WrapText());
  Cell(1, 2)->SetValue(Variant::Text(u"ab"));
  EXPECT_FALSE(Cell(1, 2)->WrapText());
}

TEST_F(RangeValue, SharedStringsCountTheirCells) {
  Cell(1, 1)->SetValue(Variant::Text(u"a"));
  Cell(2, 1)->SetValue(Variant::Text(u"a"));
  EXPECT_EQ(book_.Strings().Count(), 1);
  EXPECT_EQ(book_.Strings().UseCount(0), 2u);
  Cell(1, 1)->SetValue(Variant::Double(1));
  EXPECT_EQ(book_.Strings().UseCount(0), 1u);
  Cell(2, 1)->SetValue(Variant::Text(u"b"));
  EXPECT_EQ(book_.Strings().UseCount(0), 0u);
  Cell(3, 1)->SetValue(Variant::Text(u"a"));  // comes back under its old index
  EXPECT_EQ(book_.Strings().Count(), 2);
  EXPECT_EQ(book_.Strings().UseCount(0), 1u);
}

TEST_F(RangeValue, SingleValueGoesToEveryCellAndAdvancesTheRecalcStamp) {
  const auto stamp = book_.RecalcStamp();
  sheet_->Range(0, 0, 2, 1)->SetValue(Variant::Double(7));
  EXPECT_GT(book_.RecalcStamp(), stamp);
  const Variant all = sheet_->Range(0, 0, 2, 1)->Value();
  ASSERT_TRUE(all.IsArray());
  EXPECT_EQ(all.ArrayValue().dimensions[0].extent, 3);
  EXPECT_EQ(all.ArrayValue().dimensions[1].extent, 2);
  for (const Variant& element : all.ArrayValue().elements) EXPECT_EQ(element, Variant::Double(7));
}

TEST_F(RangeValue, ArraysSpreadOverTheRange) {
  // 2x2 array into a 3x3 range: the third row and column get "#N/D".
  Variant square = Variant::Array2D(2, 2, 1, 1);  // lower bounds 1: offsets still count from them
  square.ArrayValue().At(0, 0) = Variant::Double(1);
  square.ArrayValue().At(0, 1) = Variant::Double(2);
  square.ArrayValue().At(1, 0) = Variant::Double(3);
  square.ArrayValue().At(1, 1) = Variant::Double(4);
  sheet_->Range(0, 0, 2, 2)->SetValue(square);
  EXPECT_EQ(Cell(1, 1)->Value(), Variant::Double(1));
  EXPECT_EQ(Cell(2, 2)->Value(), Variant::Double(4));
  EXPECT_EQ(Cell(1, 3)->Value(), Variant::Text(u"#N/D"));
  EXPECT_EQ(Cell(3, 1)->Value(), Variant::Text(u"#N/D"));

  // A one-dimensional array fills every row; a dimension of extent 1 repeats.
  Variant line = Variant::Array1D(2);
  line.ArrayValue().elements = {Variant::Text(u"x"), Variant::Text(u"y")};
  sheet_->Range(10, 0, 11, 2)->SetValue(line);
  EXPECT_EQ(Cell(12, 2)->Value(), Variant::Text(u"y"));
  EXPECT_EQ(Cell(12, 3)->Value(), Variant::Text(u"#N/D"));
  Variant column = Variant::Array2D(2, 1);
  column.ArrayValue().At(0, 0) = Variant::Double(5);
  column.ArrayValue().At(1, 0) = Variant::Double(6);
  sheet_->Range(20, 0, 21, 1)->SetValue(column);
  EXPECT_EQ(Cell(22, 2)->Value(), Variant::Double(6));

  // More than two dimensions: nothing changes.
  VariantArray cube;
  cube.dimensions = {{0, 1}, {0, 1}, {0, 1}};
  cube.elements = {Variant::Double(9)};
  sheet_->Range(30, 0, 30, 0)->SetValue(Variant::FromArray(cube));
  EXPECT_TRUE(Cell(31, 1)->Value().IsNull());
}

TEST_F(RangeValue, NumbersInDateFormatsReadAsDates) {
  Cell(1, 1)->SetValue(Variant::Double(30));
  TXLSXF dated = book_.XFList().Entry(0);
  dated.numFormat = 14;
  dated.usedAttributes |= kUsedNumFormat;
  sheet_->SetCellXF(*sheet_->CellHeap().Find(0, 0), book_.XFList().FindOrAdd(dated));
  EXPECT_EQ(Cell(1, 1)->Value(), Variant::Date(31));  // day 30 of the file is 31 days after 30 Dec 1899

  // General in the cell, a date format in its parent style: the style's format applies.
  TXLSXF style = book_.XFList().Entry(0);
  style.parent = kStyleParent;
  style.numFormat = 22;
  const std::uint32_t styleIndex = book_.XFList().FindOrAdd(style);
  TXLSXF child;
  child.parent = static_cast<std::uint16_t>(styleIndex);
  Cell(2, 1)->SetValue(Variant::Double(45000));
  sheet_->SetCellXF(*sheet_->CellHeap().Find(1, 0), book_.XFList().FindOrAdd(child));
  EXPECT_EQ(Cell(2, 1)->Value(), Variant::Date(45000));
  EXPECT_TRUE(TXLSNumFormatList::IsDateFormatText(u"[h]:mm:ss"));
  EXPECT_FALSE(TXLSNumFormatList::IsDateFormatText(u"0.00%"));
  EXPECT_FALSE(TXLSNumFormatList::IsDateFormatText(u"d/m/y"));  // the rule needs a doubled letter
}

class FixedCalculator : public TXLSFormulaCalculator {
 public:
  std::unique_ptr<TXLSFormula> Compile(std::u16string_view text, const IXLSWorksheet&) override {
    if (text != u"ANSWER()") return nullptr;
    auto formula = std::make_unique<TXLSFormula>();
    formula->tokens = {0x1E, 42, 0};  // tInt 42
    return formula;
  }
  Variant Evaluate(const TXLSFormula&, const IXLSWorksheet&, int row, int) override {
    return Variant::Double(row + 0.5);
  }
};

TEST_F(RangeValue, FormulasGoThroughTheCalculatorOrGiveTheirCachedResult) {
  sheet_->GetOrCreateCell(0, 0).kind = CellKind::Formula;
  auto cached = std::make_unique<TXLSFormula>();
  cached->resultKind = FormulaResultKind::Text;
  cached->resultText = u"600123456";
  sheet_->CellHeap().Find(0, 0)->formula = std::move(cached);
  EXPECT_EQ(Cell(1, 1)->Value(), Variant::Text(u"600123456"));

  book_.SetFormulaCalculator(std::make_unique<FixedCalculator>());
  EXPECT_EQ(Cell(1, 1)->Value(), Variant::Double(0.5));
  Cell(3, 1)->SetValue(Variant::Text(u"=ANSWER()"));
  EXPECT_EQ(sheet_->CellHeap().Find(2, 0)->kind, CellKind::Formula);
  Cell(4, 1)->SetValue(Variant::Text(u"=NONSENSE("));
  EXPECT_EQ(Cell(4, 1)->Value(), Variant::Text(u"=NONSENSE("));  // not compiled: kept as text, "=" included
}

TEST_F(RangeValue, CellsHiddenByAMergedAreaHoldNoValue) {
  sheet_->MergeCells(TXLSArea{0, 1, 0, 1});
  Cell(1, 1)->SetValue(Variant::Text(u"top"));
  Cell(2, 2)->SetValue(Variant::Text(u"hidden"));
  EXPECT_EQ(Cell(1, 1)->Value(), Variant::Text(u"top"));
  EXPECT_TRUE(Cell(2, 2)->Value().IsNull());
  EXPECT_EQ(sheet_->CellHeap().Find(1, 1), nullptr);  // the assignment skipped it
}

}  // namespace
}  // namespace xls
