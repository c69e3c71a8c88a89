// The cell table of a sheet: blocks of 32 rows, each its ROW records, the
// cells of its rows in column order and a DBCELL index; then the merged areas.

#include <algorithm>
#include <array>

#include "xls/biff_globals.h"
#include "xls/biff_sheet.h"
#include "xls/rk.h"
#include "xls/workbook.h"

namespace xls {

namespace {

constexpr int kRowsPerBlock = 32;
constexpr std::size_t kRowRecordSize = 20;
constexpr std::size_t kMaxAreasPerRecord = 1026;

// One position of a row that gets a cell record.
struct Item {
  std::uint8_t column = 0;
  const TXLSCellRef* cell = nullptr;  // nullptr: a covered position of a merged area without a cell
  bool blank = false;                 // written as a blank (an empty cell, or hidden by a merged area)
  std::uint16_t xf = 0;               // written XF number
  std::optional<std::uint32_t> rk;    // number cells that fit an RK value
};

class CellTableWriter {
 public:
  CellTableWriter(TXLSSheetLists& lists, const IXLSWorksheet& sheet, const TXLSWriteTables& tables)
      : lists_(lists), out_(lists.cells), sheet_(sheet), book_(sheet.Workbook()), tables_(tables) {}

  void Write() {
    int first = 0, last = -1;
    Bounds(first, last);
    lists_.firstRow = static_cast<std::uint32_t>(std::max(first, 0));
    lists_.lastRow = static_cast<std::uint32_t>(std::max(last, 0));
    // About 30 bytes a cell and 20 a row: one allocation instead of many.
    out_.Reserve(sheet_.CellHeap().CellCount() * 30 + static_cast<std::size_t>(std::max(last - first + 1, 0)) * 22);
    for (int blockStart = first; blockStart <= last; blockStart += kRowsPerBlock)
      WriteBlock(blockStart, std::min(blockStart + kRowsPerBlock - 1, last));
    WriteMergedAreas();
  }

 private:
  void Bounds(int& first, int& last) const {
    auto widen = [&](int a, int b) {
      if (last < first) {
        first = a;
        last = b;
      } else {
        first = std::min(first, a);
        last = std::max(last, b);
      }
    };
    if (!sheet_.CellHeap().Empty()) widen(sheet_.CellHeap().FirstRow(), sheet_.CellHeap().LastRow());
    if (!sheet_.Rows().Empty()) widen(sheet_.Rows().FirstRow(), sheet_.Rows().LastRow());
    for (const TXLSArea& area : sheet_.Parts().mergedAreas) widen(area.firstRow, area.lastRow);
  }

  // The model counts days in the 1900 system; a 1904 workbook writes its
  // dates, constants and formula results alike, in its own day count.
  double WrittenNumber(const TXLSCellRef& cell, double number) const {
    if (!book_.Date1904()) return number;
    const bool isDate = cell.kind == CellKind::Date ||
                        book_.NumFormats().IsDateFormat(book_.XFList().EffectiveNumFormat(cell.xf));
    if (!isDate) return number;
    return number >= 1462 ? number - 1462 : 0;
  }
  double WrittenNumber(const TXLSCellRef& cell) const { return WrittenNumber(cell, cell.number); }

  // The positions of a row that get a record, in column order.
  void CollectItems(int row, std::vector<Item>& items) const {
    items.clear();
    for (const TXLSCellRef& cell : sheet_.CellHeap().Row(row)) {
      Item item;
      item.column = cell.column;
      item.cell = &cell;
      item.xf = tables_.XF(cell.xf);
      item.blank = cell.kind == CellKind::Blank || sheet_.IsCoveredByMerge(row, cell.column);
      if (!item.blank && (cell.kind == CellKind::Number || cell.kind == CellKind::Date))
        item.rk = EncodeRK(WrittenNumber(cell));
      items.push_back(item);
    }
    AddCoveredPositions(row, items);
  }

  // Positions hidden by a merged area that have no cell are written as
  // blanks with the format of the area's top-left cell.
  void AddCoveredPositions(int row, std::vector<Item>& items) const {
    bool added = false;
    for (const TXLSArea& area : sheet_.Parts().mergedAreas) {
      if (row < area.firstRow || row > area.lastRow) continue;
      const std::uint16_t xf = tables_.XF(sheet_.EffectiveXF(area.firstRow, area.firstColumn));
      for (int column = area.firstColumn; column <= area.lastColumn; ++column) {
        if (row == area.firstRow && column == area.firstColumn) continue;
        if (sheet_.CellHeap().Find(row, column)) continue;
        Item item;
        item.column = static_cast<std::uint8_t>(column);
        item.blank = true;
        item.xf = xf;
        items.push_back(item);
        added = true;
      }
    }
    if (added) {
      std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.column < b.column; });
      items.erase(std::unique(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.column == b.column; }),
                  items.end());
    }
  }

  void WriteBlock(int blockStart, int blockEnd) {
    std::array<int, kRowsPerBlock> rows{};
    int rowCount = 0;
    for (int row = blockStart; row <= blockEnd; ++row) {
      std::vector<Item>& items = blockItems_[static_cast<std::size_t>(rowCount)];
      CollectItems(row, items);
      if (items.empty() && !sheet_.Rows().Find(row)) continue;
      rows[static_cast<std::size_t>(rowCount++)] = row;
    }
    if (rowCount == 0) return;

    const std::size_t firstRowRecord = out_.Size();
    for (int i = 0; i < rowCount; ++i) WriteRow(rows[static_cast<std::size_t>(i)], blockItems_[static_cast<std::size_t>(i)]);
    std::array<std::size_t, kRowsPerBlock> firstCell{};
    for (int i = 0; i < rowCount; ++i) {
      firstCell[static_cast<std::size_t>(i)] = out_.Size();
      WriteCells(rows[static_cast<std::size_t>(i)], blockItems_[static_cast<std::size_t>(i)]);
    }

    const std::size_t dbCell = out_.Size();
    out_.Begin(rec::kDbCell);
    out_.U32(static_cast<std::uint32_t>(dbCell - firstRowRecord));
    std::size_t previous = firstRowRecord + kRowRecordSize;
    bool overflow = false;
    for (int i = 0; i < rowCount; ++i) {
      const std::size_t offset = firstCell[static_cast<std::size_t>(i)] - previous;
      overflow = overflow || offset > 0xFFFF;
      out_.U16(overflow ? 0 : static_cast<std::uint16_t>(offset));
      previous = firstCell[static_cast<std::size_t>(i)];
    }
    out_.End();
    lists_.dbCells.push_back(static_cast<std::uint32_t>(dbCell));
  }

  void WriteRow(int row, const std::vector<Item>& items) {
    const TXLSRowInfo* info = sheet_.Rows().Find(row);
    const TXLSRowInfo none;
    const TXLSRowInfo& r = info ? *info : none;
    std::uint16_t firstColumn = 0, lastColumn = 0;
    if (!items.empty()) {
      firstColumn = items.front().column;
      lastColumn = static_cast<std::uint16_t>(items.back().column + 1);
    } else if (r.firstColumn >= 0) {
      firstColumn = static_cast<std::uint16_t>(r.firstColumn);
      lastColumn = static_cast<std::uint16_t>(r.lastColumn + 1);
    }
    std::uint16_t options = 0x0100 | (r.outlineLevel & 0x07);
    if (r.collapsed) options |= 0x0010;
    if (r.hidden) options |= 0x0020;
    if (r.customHeight) options |= 0x0040;
    if (r.xf != kNoFormat) options |= 0x0080;
    out_.Begin(rec::kRow);
    out_.U16(static_cast<std::uint16_t>(row));
    out_.U16(firstColumn);
    out_.U16(lastColumn);
    out_.U16(r.customHeight ? static_cast<std::uint16_t>(r.height & 0x7FFF) : 0x80FF);
    out_.U16(0);
    out_.U16(0);
    out_.U16(options);
    out_.U16(static_cast<std::uint16_t>(tables_.OptionalXF(r.xf) & 0x0FFF));
    out_.End();
  }

  void WriteCells(int row, const std::vector<Item>& items) {
    for (std::size_t i = 0; i < items.size();) {
      const std::size_t runEnd = RunEnd(items, i);
      if (items[i].blank) {
        WriteBlanks(row, items, i, runEnd);
      } else if (items[i].rk) {
        WriteRks(row, items, i, runEnd);
      } else {
        WriteCell(row, items[i]);
      }
      i = runEnd;
    }
  }

  // The end of the run of adjacent blanks, or of adjacent RK numbers, starting at i.
  static std::size_t RunEnd(const std::vector<Item>& items, std::size_t i) {
    const bool blank = items[i].blank;
    const bool rk = !blank && items[i].rk.has_value();
    if (!blank && !rk) return i + 1;
    std::size_t end = i + 1;
    while (end < items.size() && items[end].column == items[end - 1].column + 1 && items[end].blank == blank &&
           (blank || items[end].rk.has_value()))
      ++end;
    return end;
  }

  void WriteBlanks(int row, const std::vector<Item>& items, std::size_t begin, std::size_t end) {
    if (end - begin == 1) {
      if (items[begin].xf == kDefaultCellXF) return;  // a lone blank of the default format says nothing
      out_.Begin(rec::kBlank);
      CellHeader(row, items[begin].column, items[begin].xf);
      out_.End();
      return;
    }
    out_.Begin(rec::kMulBlank);
    out_.U16(static_cast<std::uint16_t>(row));
    out_.U16(items[begin].column);
    for (std::size_t i = begin; i < end; ++i) out_.U16(items[i].xf);
    out_.U16(items[end - 1].column);
    out_.End();
  }

  void WriteRks(int row, const std::vector<Item>& items, std::size_t begin, std::size_t end) {
    if (end - begin == 1) {
      out_.Begin(rec::kRk);
      CellHeader(row, items[begin].column, items[begin].xf);
      out_.U32(*items[begin].rk);
      out_.End();
      return;
    }
    out_.Begin(rec::kMulRk);
    out_.U16(static_cast<std::uint16_t>(row));
    out_.U16(items[begin].column);
    for (std::size_t i = begin; i < end; ++i) {
      out_.U16(items[i].xf);
      out_.U32(*items[i].rk);
    }
    out_.U16(items[end - 1].column);
    out_.End();
  }

  void CellHeader(int row, int column, std::uint16_t xf) {
    out_.U16(static_cast<std::uint16_t>(row));
    out_.U16(static_cast<std::uint16_t>(column));
    out_.U16(xf);
  }

  void WriteCell(int row, const Item& item) {
    const TXLSCellRef& cell = *item.cell;
    switch (cell.kind) {
      case CellKind::Number:
      case CellKind::Date:
        out_.Begin(rec::kNumber);
        CellHeader(row, item.column, item.xf);
        out_.F64(WrittenNumber(cell));
        out_.End();
        return;
      case CellKind::Text:
        out_.Begin(rec::kLabelSst);
        CellHeader(row, item.column, item.xf);
        out_.U32(tables_.String(cell.stringIndex));
        out_.End();
        return;
      case CellKind::Boolean:
      case CellKind::Error:
        out_.Begin(rec::kBoolErr);
        CellHeader(row, item.column, item.xf);
        if (cell.kind == CellKind::Boolean) {
          out_.U8(cell.number > 0 ? 1 : 0);
          out_.U8(0);
        } else {
          out_.U8(static_cast<std::uint8_t>(cell.number));
          out_.U8(1);
        }
        out_.End();
        return;
      case CellKind::Formula:
        WriteFormula(row, item);
        return;
      case CellKind::Blank:
        return;
    }
  }

  void WriteFormula(int row, const Item& item) {
    const TXLSCellRef& cell = *item.cell;
    if (!cell.formula) return;
    const TXLSFormula& formula = *cell.formula;
    out_.Begin(rec::kFormula);
    CellHeader(row, item.column, item.xf);
    WriteFormulaResult(cell, formula);
    out_.U16(static_cast<std::uint16_t>(formula.options | 0x0002));  // recalculate on load
    out_.U32(0);
    out_.U16(formula.tokenLength ? formula.tokenLength : static_cast<std::uint16_t>(formula.tokens.size()));
    out_.Bytes(formula.tokens);
    out_.End();
    const TXLSArrayFormula* array = formula.array.get();
    if (array && array->area.firstRow == row && array->area.firstColumn == item.column) {
      out_.Begin(rec::kArray);
      out_.U16(array->area.firstRow);
      out_.U16(array->area.lastRow);
      out_.U8(array->area.firstColumn);
      out_.U8(array->area.lastColumn);
      out_.U16(array->options);
      out_.U32(0);
      out_.U16(static_cast<std::uint16_t>(array->tokens.size()));
      out_.Bytes(array->tokens);
      out_.End();
    }
    if (formula.resultKind == FormulaResultKind::Text) {
      out_.Begin(rec::kString);
      out_.ContinuedString16(std::u16string_view(formula.resultText).substr(0, kMaxCellText));
      out_.Close();
    }
  }

  void WriteFormulaResult(const TXLSCellRef& cell, const TXLSFormula& formula) {
    auto nonNumeric = [this](std::uint8_t kind, std::uint8_t value) {
      out_.U8(kind);
      out_.U8(0);
      out_.U8(value);
      out_.U8(0);
      out_.U8(0);
      out_.U8(0);
      out_.U16(0xFFFF);
    };
    switch (formula.resultKind) {
      case FormulaResultKind::Number:
        out_.F64(WrittenNumber(cell, formula.resultNumber));
        return;
      case FormulaResultKind::Text:
        return nonNumeric(0, 0);
      case FormulaResultKind::Boolean:
        return nonNumeric(1, formula.resultBoolean ? 1 : 0);
      case FormulaResultKind::Error:
        return nonNumeric(2, formula.resultError);
      case FormulaResultKind::EmptyText:
        return nonNumeric(3, 0);
    }
  }

  void WriteMergedAreas() {
    const std::vector<TXLSArea>& areas = sheet_.Parts().mergedAreas;
    for (std::size_t begin = 0; begin < areas.size(); begin += kMaxAreasPerRecord) {
      const std::size_t end = std::min(areas.size(), begin + kMaxAreasPerRecord);
      out_.Begin(rec::kMergedCells);
      out_.U16(static_cast<std::uint16_t>(end - begin));
      for (std::size_t i = begin; i < end; ++i) {
        out_.U16(areas[i].firstRow);
        out_.U16(areas[i].lastRow);
        out_.U16(areas[i].firstColumn);
        out_.U16(areas[i].lastColumn);
      }
      out_.End();
    }
  }

  TXLSSheetLists& lists_;
  TXLSBlobList& out_;
  const IXLSWorksheet& sheet_;
  const TXLSWorkbook& book_;
  const TXLSWriteTables& tables_;
  std::array<std::vector<Item>, kRowsPerBlock> blockItems_;
};

}  // namespace

void WriteCellTable(TXLSSheetLists& lists, const IXLSWorksheet& sheet, const TXLSWriteTables& tables) {
  CellTableWriter(lists, sheet, tables).Write();
}

}  // namespace xls
