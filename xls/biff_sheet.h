#pragma once
// A sheet's substream in the five lists of the BIFF8 writer: the head (BOF,
// INDEX), the settings before the cells (ending with DIMENSIONS), the cell
// table (ROW blocks, cells, DBCELL, MERGEDCELLS), the drawing, and the
// settings after the cells (ending with EOF).
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <vector>

#include "xls/biff_records.h"
#include "xls/biff_tables.h"

namespace xls {

class IXLSWorksheet;
class TXLSWorkbook;

struct TXLSSheetLists {
  TXLSBlobList head;
  TXLSBlobList settings;
  TXLSBlobList cells;
  TXLSBlobList drawing;
  TXLSBlobList tail;
  std::vector<std::uint32_t> dbCells;  // DBCELL positions inside `cells`
  std::uint32_t firstRow = 0, lastRow = 0;  // rows the cell table covers (INDEX)

  std::size_t Size() const { return head.Size() + settings.Size() + cells.Size() + drawing.Size() + tail.Size(); }
};

struct TXLSSheetWriteOptions {
  bool writeCodeName = false;  // a VBA project copy goes into the file
};

// Builds every list but the head.
void BuildSheetBody(TXLSSheetLists& lists, const IXLSWorksheet& sheet, const TXLSWriteTables& tables,
                    const TXLSSheetWriteOptions& options);
// Builds the head once the sheet's offset in the stream is known.
void BuildSheetHead(TXLSSheetLists& lists, const IXLSWorksheet& sheet, std::uint32_t sheetOffset);

// The cell table (biff_cells.cpp).
void WriteCellTable(TXLSSheetLists& lists, const IXLSWorksheet& sheet, const TXLSWriteTables& tables);

}  // namespace xls
