#pragma once
// For the fuzz targets: reads the value and fill of every cell a workbook
// holds, so that whatever Open left behind is used as the import would use it.
// Threads: the fuzzer's own thread.

#include "xls/interior.h"
#include "xls/range.h"
#include "xls/workbook.h"

namespace xls {

inline void ReadEveryCell(TXLSWorkbook& book) {
  for (int position = 1; position <= book.Worksheets().Count(); ++position) {
    IXLSWorksheet& sheet = *book.Worksheets().Entries(position);
    const TXLSCellHeap& heap = sheet.CellHeap();
    if (heap.Empty()) continue;
    for (int row = heap.FirstRow(); row <= heap.LastRow(); ++row) {
      for (const TXLSCellRef& cell : heap.Row(row)) {
        (void)sheet.Cells()->Item(cell.row + 1, cell.column + 1)->Value();
        (void)sheet.Cells()->Item(cell.row + 1, cell.column + 1)->Interior()->ColorIndex();
      }
    }
  }
}

}  // namespace xls
