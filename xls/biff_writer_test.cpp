// The BIFF8 stream record for record: the globals, strings, cells, indexes
// and compaction, read back with a small record walker.

#include "xls/biff_writer.h"

#include <gtest/gtest.h>

#include "xls/biff_records.h"
#include "xls/interior.h"
#include "xls/rk.h"
#include "xls/workbook.h"
#include "xls/xls_test_support.h"

namespace xls {
namespace {

using testing::ParsedRecord;
using testing::ParseRecords;
using testing::RecordsWithId;

class Writer : public ::testing::Test {
 protected:
  IXLSRange Cell(int row, int column) { return sheet_->Cells()->Item(row, column); }
  std::vector<ParsedRecord> Write() {
    stream_ = TXLSWriter(book_).BuildStream();
    return ParseRecords(stream_);
  }
  static ParsedRecord Only(const std::vector<ParsedRecord>& records, std::uint16_t id) {
    const auto found = RecordsWithId(records, id);
    EXPECT_EQ(found.size(), 1u) << std::hex << id;
    return found.empty() ? ParsedRecord{} : found.front();
  }
  // XF number of the cell record at (row, column) (LABELSST, NUMBER, RK, BLANK, BOOLERR).
  static std::uint16_t CellXF(const std::vector<ParsedRecord>& records, int row, int column) {
    for (const ParsedRecord& r : records) {
      if ((r.id == rec::kLabelSst || r.id == rec::kNumber || r.id == rec::kRk || r.id == rec::kBlank ||
           r.id == rec::kBoolErr) && r.U16(0) == row && r.U16(2) == column)
        return r.U16(4);
    }
    ADD_FAILURE() << "no cell record at " << row << "," << column;
    return 0xFFFF;
  }

  TXLSWorkbook book_;
  IXLSWorksheet* sheet_ = book_.Worksheets().Add();
  std::vector<std::uint8_t> stream_;
};

TEST_F(Writer, ResultRowIsOneUtf16StringCentredInAWideColumn) {
  const IXLSRange a1 = Cell(1, 1);
  a1->SetValue(Variant::Text(u"600123456"));
  a1->Interior()->SetColorIndex(xlNone);
  a1->SetVerticalAlignment(xlCenter);
  a1->SetHorizontalAlignment(xlCenter);
  a1->SetColumnWidth(15);
  const auto records = Write();

  const ParsedRecord sst = Only(records, rec::kSst);
  EXPECT_EQ(sst.U32(0), 1u);  // uses
  EXPECT_EQ(sst.U32(4), 1u);  // strings
  EXPECT_EQ(sst.U16(8), 9);
  EXPECT_EQ(sst.body[10], 1);  // UTF-16
  EXPECT_EQ(sst.body.size(), 8u + 3u + 18u);
  const ParsedRecord label = Only(records, rec::kLabelSst);
  EXPECT_EQ(label.U16(0), 0);
  EXPECT_EQ(label.U16(2), 0);
  EXPECT_EQ(label.U32(6), 0u);
  const auto xfs = RecordsWithId(records, rec::kXF);
  ASSERT_GT(xfs.size(), label.U16(4));
  EXPECT_EQ(xfs[label.U16(4)].body[6], 0x12);  // horizontal 2, vertical 1
  const ParsedRecord colinfo = Only(records, rec::kColInfo);
  EXPECT_EQ(colinfo.U16(0), 0);
  EXPECT_EQ(colinfo.U16(2), 0);
  EXPECT_EQ(colinfo.U16(4), 4022);
  EXPECT_EQ(colinfo.U16(8), 0x0002);
}

TEST_F(Writer, WorkbookWithoutSheetsGetsAnEmptySheet1) {
  TXLSWorkbook empty;
  const auto records = ParseRecords(TXLSWriter(empty).BuildStream());
  EXPECT_EQ(empty.Worksheets().Count(), 1);
  const ParsedRecord sheet = Only(records, rec::kBoundSheet);
  EXPECT_EQ(sheet.body[7], 1);  // option byte: UTF-16
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(sheet.body.data() + 8), 6), u"Sheet1");
  const ParsedRecord dimensions = Only(records, rec::kDimensions);
  EXPECT_EQ(dimensions.U32(0), 0u);
  EXPECT_EQ(dimensions.U32(4), 0u);
  EXPECT_EQ(dimensions.U16(8), 0);
  EXPECT_EQ(dimensions.U16(10), 256);
  EXPECT_TRUE(RecordsWithId(records, rec::kIndex).empty());
}

TEST_F(Writer, NewWorkbookGlobalsAreTheStandardTables) {
  const auto records = Write();
  const std::uint16_t leading[] = {rec::kBof,      rec::kCodePage, rec::kDsf,       rec::kWindow1,
                                   rec::kBackup,   rec::kDateMode, rec::kPrecision, rec::kRefMode,
                                   rec::kFnGroupCount, rec::kBookBool, rec::kFont};
  for (std::size_t i = 0; i < std::size(leading); ++i) EXPECT_EQ(records[i].id, leading[i]) << i;
  EXPECT_EQ(records[0].U16(0), 0x0600);
  EXPECT_EQ(records[0].U16(2), 0x0005);
  EXPECT_EQ(records[1].U16(0), 1200);
  EXPECT_EQ(RecordsWithId(records, rec::kFont).size(), 4u);

  const auto formats = RecordsWithId(records, rec::kFormat);
  ASSERT_EQ(formats.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(formats[static_cast<std::size_t>(i)].U16(0), 5 + i);

  const auto xfs = RecordsWithId(records, rec::kXF);
  ASSERT_EQ(xfs.size(), 21u);
  struct Expected {
    int xf, font, format, type, used;
  };
  const Expected table[] = {{0, 0, 0, 0xFFF5, 0x00},   {1, 0, 0, 0xFFF5, 0xF4},  {14, 0, 0, 0xFFF5, 0xF4},
                            {15, 0, 0, 0x0001, 0x00},  {16, 1, 44, 0xFFF5, 0xF8}, {17, 1, 42, 0xFFF5, 0xF8},
                            {18, 1, 9, 0xFFF5, 0xF8},  {19, 1, 43, 0xFFF5, 0xF8}, {20, 1, 41, 0xFFF5, 0xF8}};
  for (const Expected& e : table) {
    const ParsedRecord& xf = xfs[static_cast<std::size_t>(e.xf)];
    EXPECT_EQ(xf.body.size(), 20u);
    EXPECT_EQ(xf.U16(0), e.font) << e.xf;
    EXPECT_EQ(xf.U16(2), e.format) << e.xf;
    EXPECT_EQ(xf.U16(4), e.type) << e.xf;
    EXPECT_EQ(xf.body[6], 0x20) << e.xf;
    EXPECT_EQ(xf.body[9], e.used) << e.xf;
    EXPECT_EQ(xf.U16(18), 0x20C0) << e.xf;
  }
  const auto styles = RecordsWithId(records, rec::kStyle);
  const std::pair<int, int> styleOrder[] = {{3, 19}, {4, 16}, {6, 20}, {7, 17}, {5, 18}, {0, 0}};
  ASSERT_EQ(styles.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(styles[i].U16(0), 0x8000 | styleOrder[i].second);
    EXPECT_EQ(styles[i].body[2], styleOrder[i].first);
    EXPECT_EQ(styles[i].body[3], 0xFF);
  }
  const ParsedRecord palette = Only(records, rec::kPalette);
  EXPECT_EQ(palette.U16(0), 56);
  EXPECT_EQ(palette.body[2 + 4 * 45], 0xFF);  // colour index 46: FF6600
  EXPECT_EQ(palette.body[2 + 4 * 45 + 1], 0x66);
  const ParsedRecord recalc = Only(records, rec::kRecalcId);
  EXPECT_EQ(recalc.U32(0), 0x1C1u);
  EXPECT_EQ(recalc.U32(4), 0x00FFFFFFu);
}

TEST(Rk, EncodingFollowsTheOrderOfForms) {
  const std::pair<double, std::optional<std::uint32_t>> cases[] = {
      {123, 0x000001EE},         {1.5, 0x0000025B},        {0.125, 0x3FC00000}, {536870912, 0x41C00000},
      {600123456, std::nullopt}, {-1, 0xFFFFFFFE},         {0.01, 7},           {-536870912, 0x80000002},
      {2147483648.0, std::nullopt}, {0.1 + 0.2, std::nullopt}, {1e300, std::nullopt},
  };
  for (const auto& [value, rk] : cases) {
    EXPECT_EQ(EncodeRK(value), rk) << value;
    if (rk) {
      EXPECT_EQ(DecodeRK(*rk), value) << value;
    }
  }
}

TEST_F(Writer, NumbersGoIntoRkMulRkOrNumberRecordsAndBlanksIntoMulBlank) {
  Cell(1, 1)->SetValue(Variant::Double(123));
  Cell(1, 2)->SetValue(Variant::Double(1.5));
  Cell(1, 3)->SetValue(Variant::Double(0.125));
  Cell(1, 5)->SetValue(Variant::Double(536870912));  // a gap ends the run: single RK
  Cell(2, 1)->SetValue(Variant::Double(600123456));
  Cell(3, 1)->Interior()->SetColorIndex(3);  // two formatted blanks side by side
  Cell(3, 2)->Interior()->SetColorIndex(4);
  Cell(4, 1)->SetValue(Variant::Null());     // a lone blank of the default format is left out
  Cell(5, 1)->SetValue(Variant::Boolean(true));
  const auto records = Write();

  const ParsedRecord mulrk = Only(records, rec::kMulRk);
  EXPECT_EQ(mulrk.U16(0), 0);
  EXPECT_EQ(mulrk.U16(2), 0);
  EXPECT_EQ(mulrk.U32(6), 0x1EEu);
  EXPECT_EQ(mulrk.U32(12), 0x25Bu);
  EXPECT_EQ(mulrk.U32(18), 0x3FC00000u);
  EXPECT_EQ(mulrk.U16(22), 2);
  const ParsedRecord rk = Only(records, rec::kRk);
  EXPECT_EQ(rk.U16(2), 4);
  EXPECT_EQ(rk.U32(6), 0x41C00000u);
  const ParsedRecord number = Only(records, rec::kNumber);
  EXPECT_EQ(number.U16(0), 1);
  EXPECT_EQ(std::bit_cast<double>(std::uint64_t{number.U32(6)} | (std::uint64_t{number.U32(10)} << 32)), 600123456.0);
  const ParsedRecord mulblank = Only(records, rec::kMulBlank);
  EXPECT_EQ(mulblank.U16(0), 2);
  EXPECT_EQ(mulblank.body.size(), 10u);
  EXPECT_TRUE(RecordsWithId(records, rec::kBlank).empty());
  const ParsedRecord boolerr = Only(records, rec::kBoolErr);
  EXPECT_EQ(boolerr.body[6], 1);
  EXPECT_EQ(boolerr.body[7], 0);
}

TEST_F(Writer, LongStringContinuesWithAFreshOptionByte) {
  // Fill most of the first SST record, then a text of 5000 characters.
  for (int i = 0; i < 8; ++i) Cell(i + 1, 1)->SetValue(Variant::Text(std::u16string(500, static_cast<char16_t>(u'a' + i))));
  Cell(20, 1)->SetValue(Variant::Text(std::u16string(5000, u'Z')));
  const auto records = Write();
  std::size_t sst = 0;
  while (records[sst].id != rec::kSst) ++sst;
  // 8 strings of 1003 bytes leave 8224 - 8 - 8024 = 192 bytes: the header and 94 characters.
  EXPECT_EQ(records[sst].body.size(), 8u + 8 * 1003 + 3 + 2 * 94);
  ASSERT_EQ(records[sst + 1].id, rec::kContinue);
  EXPECT_EQ(records[sst + 1].body[0], 1);  // option byte of the rest of the characters
  EXPECT_EQ(records[sst + 1].body.size(), 1u + 2 * 4111);
  ASSERT_EQ(records[sst + 2].id, rec::kContinue);  // split again
  EXPECT_EQ(records[sst + 2].body[0], 1);
  EXPECT_EQ(records[sst + 2].body.size(), 1u + 2 * (5000 - 94 - 4111));
  EXPECT_EQ(records[sst + 3].id, rec::kExtSst);
}

TEST_F(Writer, StringWhoseHeaderDoesNotFitStartsTheContinueRecord) {
  // 8 + 3 + 2 * 4108 = 8227 would overflow; a string of 4105 characters leaves 3 bytes.
  Cell(1, 1)->SetValue(Variant::Text(std::u16string(4105, u'a')));  // 8 + 3 + 8210 = 8221: 3 bytes left
  Cell(2, 1)->SetValue(Variant::Text(u"next"));
  const auto records = Write();
  std::size_t sst = 0;
  while (records[sst].id != rec::kSst) ++sst;
  EXPECT_EQ(records[sst].body.size(), 8221u);
  ASSERT_EQ(records[sst + 1].id, rec::kContinue);
  EXPECT_EQ(records[sst + 1].U16(0), 4);  // the next string's count, no option byte before it
  EXPECT_EQ(records[sst + 1].body.size(), 3u + 8u);
}

TEST_F(Writer, ExtSstIndexesEveryEighthStringAtItsStreamOffset) {
  for (int i = 0; i < 9; ++i) Cell(i + 1, 1)->SetValue(Variant::Text(std::u16string(u"s") + static_cast<char16_t>(u'0' + i)));
  const auto records = Write();
  const ParsedRecord ext = Only(records, rec::kExtSst);
  EXPECT_EQ(ext.U16(0), 8);
  ASSERT_EQ(ext.body.size(), 2u + 2 * 8u);
  const ParsedRecord sst = Only(records, rec::kSst);
  for (int k = 0; k < 2; ++k) {
    const std::uint32_t offset = ext.U32(2 + 8 * static_cast<std::size_t>(k));
    EXPECT_EQ(ext.U16(6 + 8 * static_cast<std::size_t>(k)), offset - sst.offset);
    EXPECT_EQ(stream_[offset], 2);  // the string's character count
    EXPECT_EQ(stream_[offset + 3], 's');
    EXPECT_EQ(stream_[offset + 5], k == 0 ? '0' : '8');
  }
}

TEST_F(Writer, UnusedFormatsAndStringsAreLeftOutAndReferencesRenumbered) {
  for (int i = 1; i <= 30; ++i) Cell(i, 1)->Interior()->SetColorIndex(i);
  Cell(1, 2)->SetValue(Variant::Text(u"gone"));
  Cell(2, 2)->SetValue(Variant::Text(u"kept"));
  Cell(1, 2)->SetValue(Variant::Double(1));
  sheet_->Range(0, 0, 29, 0)->Interior()->SetColorIndex(5);
  const auto records = Write();
  const auto xfs = RecordsWithId(records, rec::kXF);
  ASSERT_EQ(xfs.size(), 22u);
  EXPECT_EQ(xfs[21].U16(18) & 0x7F, 12);
  EXPECT_EQ(xfs[21].U32(14) >> 26, 1u);  // solid
  for (int row = 0; row < 30; ++row) EXPECT_EQ(CellXF(records, row, 0), 21);
  const ParsedRecord sst = Only(records, rec::kSst);
  EXPECT_EQ(sst.U32(4), 1u);
  EXPECT_EQ(sst.U16(8), 4);  // "kept"
  EXPECT_EQ(Only(records, rec::kLabelSst).U32(6), 0u);
}

TEST_F(Writer, SolidFillOfEntry53IsWrittenIntoTheColourWordAndPattern) {
  Cell(1, 1)->Interior()->SetColorIndex(46);
  const auto records = Write();
  const auto xfs = RecordsWithId(records, rec::kXF);
  const ParsedRecord& xf = xfs.at(CellXF(records, 0, 0));
  EXPECT_EQ(xf.U16(18) & 0x7F, 53);
  EXPECT_EQ(xf.U32(14) >> 26, 1u);
  EXPECT_EQ(xf.U16(4) & 0xFFF4, 0);  // a cell format whose parent is the Normal style
  EXPECT_NE(xf.body[9] & (kUsedFill << 2), 0);
}

TEST_F(Writer, OffsetsOfSheetsIndexesAndRowBlocksPointAtTheirRecords) {
  sheet_->SetName(u"Numbers");
  for (int row = 1; row <= 100; ++row) Cell(row * 3, 2)->SetValue(Variant::Text({u'n', static_cast<char16_t>(row)}));
  IXLSWorksheet* second = book_.Worksheets().Add();
  second->Cells()->Item(70000 / 2, 1)->SetValue(Variant::Double(1.25));
  const auto records = Write();
  EXPECT_EQ(stream_.size() % 512, 0u);

  auto at = [&](std::size_t offset) -> const ParsedRecord& {
    for (const ParsedRecord& r : records) {
      if (r.offset == offset) return r;
    }
    static ParsedRecord none;
    ADD_FAILURE() << "no record at " << offset;
    return none;
  };
  const auto sheets = RecordsWithId(records, rec::kBoundSheet);
  ASSERT_EQ(sheets.size(), 2u);
  for (const ParsedRecord& sheet : sheets) {
    EXPECT_EQ(at(sheet.U32(0)).id, rec::kBof);
    EXPECT_EQ(at(sheet.U32(0)).U16(2), 0x0010);
  }
  const auto indexes = RecordsWithId(records, rec::kIndex);
  ASSERT_EQ(indexes.size(), 2u);
  EXPECT_EQ(indexes[0].U32(4), 2u);    // first row with a cell
  EXPECT_EQ(indexes[0].U32(8), 300u);  // last row + 1
  const std::size_t blocks = (indexes[0].body.size() - 16) / 4;
  EXPECT_EQ(blocks, 10u);  // rows 2..299 in blocks of 32
  for (std::size_t b = 0; b < blocks; ++b) {
    const ParsedRecord& dbcell = at(indexes[0].U32(16 + 4 * b));
    ASSERT_EQ(dbcell.id, rec::kDbCell);
    const ParsedRecord& firstRow = at(dbcell.offset - dbcell.U32(0));
    EXPECT_EQ(firstRow.id, rec::kRow);
    std::size_t position = firstRow.offset + 20;
    for (std::size_t i = 4; i < dbcell.body.size(); i += 2) {
      position += dbcell.U16(i);
      EXPECT_EQ(at(position).id, rec::kLabelSst);
    }
  }
  EXPECT_EQ(RecordsWithId(records, rec::kRow).size(), 101u);
}

TEST_F(Writer, Dates1904AreShiftedWhenWritten) {
  book_.SetDate1904(true);
  Cell(1, 1)->SetValue(Variant::Date(45000));  // stored 45000: written 43538
  Cell(2, 1)->SetValue(Variant::Date(100));    // before 1904: written as 0
  Cell(3, 1)->SetValue(Variant::Double(45000));  // a plain number stays
  const auto records = Write();
  const auto rks = RecordsWithId(records, rec::kRk);
  ASSERT_EQ(rks.size(), 3u);
  EXPECT_EQ(DecodeRK(rks[0].U32(6)), 43538);
  EXPECT_EQ(DecodeRK(rks[1].U32(6)), 0);
  EXPECT_EQ(DecodeRK(rks[2].U32(6)), 45000);
  EXPECT_EQ(Only(records, rec::kDateMode).U16(0), 1);
}

TEST_F(Writer, MergedAreaWritesBlanksForItsHiddenCellsAndOneMergedCellsRecord) {
  Cell(1, 1)->SetValue(Variant::Text(u"title"));
  Cell(1, 1)->Interior()->SetColorIndex(6);
  Cell(2, 2)->SetValue(Variant::Text(u"hidden text"));  // assigned before the merge
  sheet_->MergeCells(TXLSArea{0, 1, 0, 2});
  const auto records = Write();
  const ParsedRecord merged = Only(records, rec::kMergedCells);
  EXPECT_EQ(merged.U16(0), 1);
  EXPECT_EQ(merged.U16(2), 0);
  EXPECT_EQ(merged.U16(4), 1);
  EXPECT_EQ(merged.U16(6), 0);
  EXPECT_EQ(merged.U16(8), 2);
  const std::uint16_t titleXF = CellXF(records, 0, 0);
  const auto mulblanks = RecordsWithId(records, rec::kMulBlank);
  ASSERT_EQ(mulblanks.size(), 2u);  // B1:C1 and A2:C2
  EXPECT_EQ(mulblanks[0].U16(6), titleXF);
  EXPECT_EQ(Only(records, rec::kSst).U32(4), 1u);  // the hidden text is not written
}

TEST_F(Writer, ActiveSheetWindowIsSelectedAndShown) {
  book_.Worksheets().Add();
  const auto records = Write();
  const auto windows = RecordsWithId(records, rec::kWindow2);
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[0].U16(0), 0x06B6);
  EXPECT_EQ(windows[1].U16(0), 0x04B6);
  EXPECT_EQ(windows[0].body.size(), 18u);
  EXPECT_EQ(windows[0].U16(6), 64);
  const ParsedRecord window1 = Only(records, rec::kWindow1);
  EXPECT_EQ(window1.U16(10), 0);  // active sheet
  EXPECT_EQ(window1.U16(14), 1);  // selected sheets
}

TEST_F(Writer, ColumnInfoRunsJoinEqualAdjacentColumns) {
  sheet_->Range(0, 0, 0, 2)->SetColumnWidth(15);
  sheet_->Range(0, 3, 0, 3)->SetColumnWidth(20);
  sheet_->Range(0, 200, 0, 255)->SetColumnWidth(3);
  const auto colinfos = RecordsWithId(Write(), rec::kColInfo);
  ASSERT_EQ(colinfos.size(), 3u);
  EXPECT_EQ(colinfos[0].U16(0), 0);
  EXPECT_EQ(colinfos[0].U16(2), 2);
  EXPECT_EQ(colinfos[1].U16(0), 3);
  EXPECT_EQ(colinfos[1].U16(2), 3);
  EXPECT_EQ(colinfos[2].U16(0), 200);
  EXPECT_EQ(colinfos[2].U16(2), 256);  // a run to the last column
}

TEST_F(Writer, NamesAndPrintAreasReferToTheSheetThroughExternSheet) {
  sheet_->Parts().pageSetup.printAreas.push_back(TXLSArea{0, 9, 0, 1});
  const auto records = Write();
  const ParsedRecord supbook = Only(records, rec::kSupBook);
  EXPECT_EQ(supbook.U16(0), 1);
  EXPECT_EQ(supbook.U16(2), 0x0401);
  const ParsedRecord externsheet = Only(records, rec::kExternSheet);
  EXPECT_EQ(externsheet.U16(0), 1);
  const ParsedRecord name = Only(records, rec::kName);
  EXPECT_EQ(name.U16(0), 0x0020);
  EXPECT_EQ(name.U16(8), 1);  // local to sheet 1
  EXPECT_EQ(name.body[15], 0x06);  // Print_Area
  EXPECT_EQ(name.body[17], 0x3B);  // area reference through EXTERNSHEET entry 0
  EXPECT_EQ(name.U16(18), 0);
  EXPECT_EQ(name.U16(22), 9);
}

// Whatever a file read brings along is written back in its place: the
// record groups kept as read, and the settings kept as fields.
TEST_F(Writer, KeptPartsOfAFileReadAreWrittenBack) {
  Cell(1, 1)->SetValue(Variant::Double(1));
  TXLSSheetParts& parts = sheet_->Parts();
  parts.protection = {true, 0xCAFE, true, false, {0x67, 0x08, 1, 2}};
  parts.pageSetup.header = u"&CNagłówek";
  parts.pageSetup.leftMargin = 0.5;
  parts.pageSetup.rowBreaks = {{10, 0, 255}};
  parts.window.zoom = 75;
  parts.window.pane = {1, 0, 2, 0, 2, 0, 2, 0, 3, 0};
  parts.autofilter = {{0x009D, {1, 0}}, {0x009E, {0, 0, 0, 0}}};
  parts.autofilterArea = TXLSArea{0, 20, 0, 0};
  parts.hyperlinks = {{0x01B8, std::vector<std::uint8_t>(32, 7)}};
  parts.conditionalFormats = {{0x01B0, {1, 0, 2, 0}}, {0x01B1, {3, 4}}};
  parts.dataValidation = {{0x01B2, std::vector<std::uint8_t>(18, 0)}, {0x01BE, {5, 6, 7}}};
  parts.drawing = {{0x00EC, {8, 9}}, {0x005D, {10, 11}}, {0x001C, {12, 13}}};
  parts.codeName = u"Arkusz1";  // only with a VBA project
  book_.Protection() = {true, 0xBEEF};
  book_.DrawingGroup() = {{0x00EB, {14, 15, 16}}};
  TXLSName name;
  name.name = u"Numery";
  name.formula = {0x3B, 0, 0, 0, 0, 9, 0, 0, 0, 0, 0};
  book_.Names().push_back(name);
  IXLSWorksheet* chart = book_.Worksheets().Add();
  chart->SetType(SheetType::Chart);
  chart->Parts().chart = {{0x1002, {1, 2, 3}}};

  const auto records = Write();
  auto position = [&](std::uint16_t id) {
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].id == id) return i;
    }
    ADD_FAILURE() << "no record " << std::hex << id;
    return std::size_t{0};
  };
  auto body = [&](std::uint16_t id) { return records[position(id)].body; };
  EXPECT_EQ(body(0x00EC), (std::vector<std::uint8_t>{8, 9}));
  EXPECT_EQ(body(0x01B1), (std::vector<std::uint8_t>{3, 4}));
  EXPECT_EQ(body(0x01BE), (std::vector<std::uint8_t>{5, 6, 7}));
  EXPECT_EQ(body(0x00EB), (std::vector<std::uint8_t>{14, 15, 16}));
  EXPECT_EQ(body(rec::kSheetProtection), (std::vector<std::uint8_t>{0x67, 0x08, 1, 2}));
  EXPECT_EQ(body(0x0041), parts.window.pane);
  EXPECT_EQ(records[position(rec::kScl)].U16(0), 75);
  EXPECT_EQ(records[position(rec::kHorizontalPageBreaks)].U16(2), 10);
  // Sheet order: settings, autofilter, DIMENSIONS, cells, drawing, window, hyperlinks, formats, validation, EOF.
  EXPECT_LT(position(rec::kSetup), position(0x009D));
  EXPECT_LT(position(0x009E), position(rec::kDimensions));
  EXPECT_LT(position(rec::kDbCell), position(0x00EC));
  EXPECT_LT(position(0x001C), position(rec::kWindow2));
  EXPECT_LT(position(rec::kSelection), position(0x01B8));
  EXPECT_LT(position(0x01B8), position(0x01B0));
  EXPECT_LT(position(0x01BE), position(rec::kSheetProtection));
  // Protection of the sheet and of the workbook (the globals' PASSWORD comes first).
  const auto passwords = RecordsWithId(records, rec::kPassword);
  ASSERT_EQ(passwords.size(), 2u);
  EXPECT_EQ(passwords[0].U16(0), 0xBEEF);
  EXPECT_EQ(passwords[1].U16(0), 0xCAFE);
  EXPECT_TRUE(RecordsWithId(records, rec::kCodeName).empty());
  // Names: the user's, then the hidden filter database of sheet 1.
  const auto names = RecordsWithId(records, rec::kName);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].body[3], 6);  // "Numery"
  EXPECT_EQ(names[1].U16(0), 0x0021);
  EXPECT_EQ(names[1].body[15], 0x0D);
  // The chart sheet: BOUNDSHEET type 2, its substream as kept.
  const auto sheets = RecordsWithId(records, rec::kBoundSheet);
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[1].body[5], 2);
  const std::size_t chartBof = position(0x1002) - 1;
  EXPECT_EQ(records[chartBof].id, rec::kBof);
  EXPECT_EQ(records[chartBof].U16(2), 0x0020);
  EXPECT_EQ(records[chartBof].offset, sheets[1].U32(0));
  EXPECT_EQ(records[chartBof + 2].id, rec::kEof);
}

}  // namespace
}  // namespace xls
