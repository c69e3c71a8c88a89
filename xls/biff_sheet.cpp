// The records of a sheet around its cell table: calculation settings, column
// widths, page setup, protection and DIMENSIONS before the cells; margins,
// header and footer, window, selection and the kept record groups after.

#include "xls/biff_sheet.h"

#include <algorithm>

#include "xls/workbook.h"

namespace xls {

namespace {

constexpr std::uint16_t kSubstreamWorksheet = 0x0010;
constexpr std::uint16_t kSubstreamChart = 0x0020;

void WriteRecords(TXLSBlobList& out, const TXLSRecordList& records) {
  for (const TXLSRecord& record : records) out.Record(record.id, record.body);
}

void WriteF64Record(TXLSBlobList& out, std::uint16_t id, double value) {
  out.Begin(id);
  out.F64(value);
  out.End();
}

// COLINFO: one record per run of adjacent columns with entries that share
// width, format, outline level and hidden flag.
void WriteColumnInfo(TXLSBlobList& out, const IXLSWorksheet& sheet, const TXLSWriteTables& tables) {
  const TXLSColumnInfoList& columns = sheet.Columns();
  for (int first = 0; first < kColumnCount;) {
    const TXLSColumnInfo* info = columns.Find(first);
    if (!info) {
      ++first;
      continue;
    }
    int last = first;
    while (last + 1 < kColumnCount) {
      const TXLSColumnInfo* next = columns.Find(last + 1);
      if (!next || next->width != info->width || next->xf != info->xf || next->outlineLevel != info->outlineLevel ||
          next->hidden != info->hidden || next->collapsed != info->collapsed)
        break;
      ++last;
    }
    std::uint16_t options = 0x0002 | static_cast<std::uint16_t>((info->outlineLevel & 0x07) << 8);
    if (info->hidden) options |= 0x0001;
    if (info->collapsed) options |= 0x1000;
    out.Begin(rec::kColInfo);
    out.U16(static_cast<std::uint16_t>(first));
    out.U16(static_cast<std::uint16_t>(last == kColumnCount - 1 && last > first ? 256 : last));
    out.U16(info->width);
    out.U16(tables.OptionalXF(info->xf));
    out.U16(options);
    out.U16(2);
    out.End();
    first = last + 1;
  }
}

void WriteGuts(TXLSBlobList& out, const IXLSWorksheet& sheet) {
  int rowLevel = 0, columnLevel = 0;
  for (int column = 0; column < kColumnCount; ++column) {
    if (const TXLSColumnInfo* info = sheet.Columns().Find(column)) columnLevel = std::max<int>(columnLevel, info->outlineLevel);
  }
  const TXLSRowInfoList& rows = sheet.Rows();
  for (int row = rows.FirstRow(); !rows.Empty() && row <= rows.LastRow(); ++row) {
    if (const TXLSRowInfo* info = rows.Find(row)) rowLevel = std::max<int>(rowLevel, info->outlineLevel);
  }
  auto levels = [](int level) { return level > 0 ? level + 1 : 0; };
  auto gutter = [](int levels) { return levels > 0 ? 12 * levels + 5 : 0; };
  out.Begin(rec::kGuts);
  out.U16(static_cast<std::uint16_t>(gutter(levels(rowLevel))));
  out.U16(static_cast<std::uint16_t>(gutter(levels(columnLevel))));
  out.U16(static_cast<std::uint16_t>(levels(rowLevel)));
  out.U16(static_cast<std::uint16_t>(levels(columnLevel)));
  out.End();
}

void WritePageBreaks(TXLSBlobList& out, std::uint16_t id, const std::vector<TXLSPageBreak>& breaks) {
  if (breaks.empty()) return;
  out.Begin(id);
  out.U16(static_cast<std::uint16_t>(breaks.size()));
  for (const TXLSPageBreak& pageBreak : breaks) {
    out.U16(pageBreak.index);
    out.U16(pageBreak.first);
    out.U16(pageBreak.last);
  }
  out.End();
}

void WriteSetup(TXLSBlobList& out, const TXLSPageSetup& setup) {
  out.Begin(rec::kSetup);
  out.U16(setup.paperSize);
  out.U16(setup.scale);
  out.U16(setup.startPage);
  out.U16(setup.fitWidth);
  out.U16(setup.fitHeight);
  out.U16(setup.options);
  out.U16(setup.horizontalResolution);
  out.U16(setup.verticalResolution);
  out.F64(setup.headerMargin);
  out.F64(setup.footerMargin);
  out.U16(setup.copies);
  out.End();
}

void WriteDimensions(TXLSBlobList& out, const IXLSWorksheet& sheet) {
  const TXLSCellHeap& heap = sheet.CellHeap();
  out.Begin(rec::kDimensions);
  if (heap.Empty()) {
    out.U32(0);
    out.U32(0);
    out.U16(0);
    out.U16(256);
  } else {
    out.U32(static_cast<std::uint32_t>(heap.FirstRow()));
    out.U32(static_cast<std::uint32_t>(heap.LastRow() + 1));
    out.U16(static_cast<std::uint16_t>(heap.FirstColumn()));
    out.U16(static_cast<std::uint16_t>(heap.LastColumn() + 1));
  }
  out.U16(0);
  out.End();
}

void WriteSettings(TXLSBlobList& out, const IXLSWorksheet& sheet, const TXLSWriteTables& tables) {
  const TXLSSheetParts& parts = sheet.Parts();
  const TXLSPageSetup& setup = parts.pageSetup;
  out.RecordU16(rec::kCalcMode, 1);
  out.RecordU16(rec::kCalcCount, 100);
  out.RecordU16(rec::kRefMode, 1);
  out.RecordU16(rec::kIteration, 0);
  WriteF64Record(out, rec::kDelta, 0.001);
  out.RecordU16(rec::kSaveRecalc, 1);
  out.RecordU16(rec::kDefColWidth, 8);
  WriteColumnInfo(out, sheet, tables);
  out.Begin(rec::kDefaultRowHeight);
  out.U16(0);
  out.U16(parts.defaultRowHeight.value_or(255));
  out.End();
  out.RecordU16(rec::kPrintHeaders, setup.printHeaders ? 1 : 0);
  out.RecordU16(rec::kPrintGridlines, setup.printGridlines ? 1 : 0);
  out.RecordU16(rec::kGridSet, setup.gridSet ? 1 : 0);
  WriteGuts(out, sheet);
  out.RecordU16(rec::kWsBool, setup.sheetOptions);
  WritePageBreaks(out, rec::kHorizontalPageBreaks, setup.rowBreaks);
  WritePageBreaks(out, rec::kVerticalPageBreaks, setup.columnBreaks);
  WriteSetup(out, setup);
  if (parts.protection.isProtected) {
    out.RecordU16(rec::kProtect, 1);
    out.RecordU16(rec::kScenProtect, parts.protection.scenarios ? 1 : 0);
    out.RecordU16(rec::kObjProtect, parts.protection.objects ? 1 : 0);
    out.RecordU16(rec::kPassword, parts.protection.passwordHash);
  }
  // The autofilter goes where spreadsheet programs look for it: after the
  // column settings, before DIMENSIONS.
  WriteRecords(out, parts.autofilter);
  WriteDimensions(out, sheet);
}

void WriteWindow(TXLSBlobList& out, const IXLSWorksheet& sheet) {
  const TXLSSheetWindow& window = sheet.Parts().window;
  const IXLSWorkSheets& sheets = sheet.Workbook().Worksheets();
  const bool selected = window.selected || sheets.ActiveSheet() == &sheet;
  std::uint16_t options = 0x00A4;
  if (window.gridlines) options |= 0x0002;
  if (window.frozen) options |= 0x0008;
  if (window.zeros) options |= 0x0010;
  if (window.rightToLeft) options |= 0x0040;
  if (selected) options |= 0x0200;
  if (sheet.Visibility() == SheetVisibility::Visible) options |= 0x0400;
  out.Begin(rec::kWindow2);
  out.U16(options);
  out.U16(window.topRow);
  out.U16(window.leftColumn);
  out.U16(64);
  out.U16(0);
  out.U16(0);
  out.U16(0);
  out.U32(0);
  out.End();
  if (window.zoom != 100 && window.zoom != 0) {
    out.Begin(rec::kScl);
    out.U16(window.zoom);
    out.U16(100);
    out.End();
  }
  if (!window.pane.empty()) out.Record(0x0041, window.pane);
  out.Begin(rec::kSelection);
  out.U8(window.selectionPane);
  out.U16(window.activeRow);
  out.U16(window.activeColumn);
  out.U16(0);
  const std::size_t count = std::min<std::size_t>(window.selection.size(), 1000);
  out.U16(static_cast<std::uint16_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    out.U16(window.selection[i].firstRow);
    out.U16(window.selection[i].lastRow);
    out.U8(window.selection[i].firstColumn);
    out.U8(window.selection[i].lastColumn);
  }
  out.End();
}

void WriteTail(TXLSBlobList& out, const IXLSWorksheet& sheet, const TXLSSheetWriteOptions& options) {
  const TXLSSheetParts& parts = sheet.Parts();
  const TXLSPageSetup& setup = parts.pageSetup;
  WriteF64Record(out, rec::kRightMargin, setup.rightMargin);
  WriteF64Record(out, rec::kBottomMargin, setup.bottomMargin);
  WriteF64Record(out, rec::kTopMargin, setup.topMargin);
  WriteF64Record(out, rec::kLeftMargin, setup.leftMargin);
  out.RecordU16(rec::kVCenter, setup.verticallyCentred ? 1 : 0);
  out.RecordU16(rec::kHCenter, setup.horizontallyCentred ? 1 : 0);
  for (const auto& [id, text] : {std::pair{rec::kFooter, &setup.footer}, std::pair{rec::kHeader, &setup.header}}) {
    out.Begin(id);
    if (!text->empty()) out.String16(std::u16string_view(*text).substr(0, 255));
    out.End();
  }
  WriteWindow(out, sheet);
  if (sheet.Columns().Default().width != kDefaultColumnWidth)
    out.RecordU16(rec::kStandardWidth, sheet.Columns().Default().width);
  WriteRecords(out, parts.hyperlinks);
  WriteRecords(out, parts.conditionalFormats);
  WriteRecords(out, parts.dataValidation);
  if (options.writeCodeName && !parts.codeName.empty()) {
    out.Begin(rec::kCodeName);
    out.String16(parts.codeName);
    out.End();
  }
  if (!parts.protection.sheetProtection.empty()) out.Record(rec::kSheetProtection, parts.protection.sheetProtection);
  out.Record(rec::kEof);
}

}  // namespace

void BuildSheetBody(TXLSSheetLists& lists, const IXLSWorksheet& sheet, const TXLSWriteTables& tables,
                    const TXLSSheetWriteOptions& options) {
  if (sheet.Type() == SheetType::Chart) {
    WriteRecords(lists.tail, sheet.Parts().chart);
    lists.tail.Record(rec::kEof);
    return;
  }
  WriteSettings(lists.settings, sheet, tables);
  WriteCellTable(lists, sheet, tables);
  WriteRecords(lists.drawing, sheet.Parts().drawing);
  WriteTail(lists.tail, sheet, options);
}

void BuildSheetHead(TXLSSheetLists& lists, const IXLSWorksheet& sheet, std::uint32_t sheetOffset) {
  const bool chart = sheet.Type() == SheetType::Chart;
  WriteBof(lists.head, chart ? kSubstreamChart : kSubstreamWorksheet);
  if (chart || lists.dbCells.empty()) return;
  const std::size_t indexSize = kRecordHeaderSize + 16 + 4 * lists.dbCells.size();
  const std::size_t cellsStart = sheetOffset + lists.head.Size() + indexSize + lists.settings.Size();
  lists.head.Begin(rec::kIndex);
  lists.head.U32(0);
  lists.head.U32(lists.firstRow);
  lists.head.U32(lists.lastRow + 1);
  lists.head.U32(0);
  for (std::uint32_t dbCell : lists.dbCells) lists.head.U32(static_cast<std::uint32_t>(cellsStart + dbCell));
  lists.head.End();
}

}  // namespace xls
