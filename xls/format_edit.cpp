#include "xls/format_edit.h"

#include <algorithm>

#include "xls/workbook.h"
#include "xls/worksheet.h"

namespace xls {

namespace {

// Derives changed formats, reusing the last result while consecutive cells
// share their source format.
class Deriver {
 public:
  Deriver(TXLSXFList& list, const XFChange& change) : list_(list), change_(change) {}

  std::uint32_t operator()(std::uint32_t source) {
    if (hasLast_ && source == lastSource_) return lastDerived_;
    const std::uint32_t resolved = TXLSXFList::Resolve(source);
    TXLSXF xf = list_.Entry(resolved);
    if (xf.IsStyle()) xf.parent = static_cast<std::uint16_t>(resolved);  // a cell format based on that style
    change_(xf);
    lastSource_ = source;
    lastDerived_ = list_.FindOrAdd(xf);
    hasLast_ = true;
    return lastDerived_;
  }

 private:
  TXLSXFList& list_;
  const XFChange& change_;
  bool hasLast_ = false;
  std::uint32_t lastSource_ = 0;
  std::uint32_t lastDerived_ = 0;
};

std::uint32_t OwnOrDefault(std::int32_t xf) { return xf == kNoFormat ? 0 : static_cast<std::uint32_t>(xf); }

void ChangeExistingCells(IXLSWorksheet& sheet, const TXLSArea& area, Deriver& derive) {
  TXLSCellHeap& heap = sheet.CellHeap();
  if (heap.Empty()) return;
  const int first = std::max<int>(area.firstRow, heap.FirstRow());
  const int last = std::min<int>(area.lastRow, heap.LastRow());
  for (int row = first; row <= last; ++row) {
    std::vector<TXLSCellRef>* cells = heap.MutableRow(row);
    if (!cells) continue;
    for (TXLSCellRef& cell : *cells) {
      if (cell.column >= area.firstColumn && cell.column <= area.lastColumn) sheet.SetCellXF(cell, derive(cell.xf));
    }
  }
}

}  // namespace

void ChangeFormats(IXLSWorksheet& sheet, const TXLSArea& area, const XFChange& change) {
  Deriver derive(sheet.Workbook().XFList(), change);
  const bool allRows = area.firstRow == 0 && area.lastRow == kRowCount - 1;
  const bool allColumns = area.firstColumn == 0 && area.lastColumn == kColumnCount - 1;

  if (allRows) {
    for (int column = area.firstColumn; column <= area.lastColumn; ++column)
      sheet.SetColumnXF(column, static_cast<std::int32_t>(derive(OwnOrDefault(sheet.Columns().Effective(column).xf))));
    if (allColumns) {
      TXLSRowInfoList& rows = sheet.Rows();
      for (int row = rows.FirstRow(); !rows.Empty() && row <= rows.LastRow(); ++row) {
        const TXLSRowInfo* info = rows.Find(row);
        if (info && info->xf != kNoFormat) sheet.SetRowXF(row, static_cast<std::int32_t>(derive(OwnOrDefault(info->xf))));
      }
    }
    ChangeExistingCells(sheet, area, derive);
    return;
  }
  if (allColumns) {
    for (int row = area.firstRow; row <= area.lastRow; ++row) {
      const TXLSRowInfo* info = sheet.Rows().Find(row);
      sheet.SetRowXF(row, static_cast<std::int32_t>(derive(OwnOrDefault(info ? info->xf : kNoFormat))));
    }
    ChangeExistingCells(sheet, area, derive);
    return;
  }
  for (int row = area.firstRow; row <= area.lastRow; ++row) {
    for (int column = area.firstColumn; column <= area.lastColumn; ++column) {
      TXLSCellRef& cell = sheet.GetOrCreateCell(row, column);
      sheet.SetCellXF(cell, derive(cell.xf));
    }
  }
}

}  // namespace xls
