#pragma once
// A sheet of a workbook (`IXLSWorksheet`): its name, position and identifier,
// the sparse cell store, the column and row tables, the shared `Cells` range
// A1:IV65536, and the sheet settings kept for files read (sheet_parts.h).
//
// The cell-level operations here keep the workbook's tables right: creating
// a cell counts it as a user of its format, changing a cell's format moves
// that use, and replacing a text releases its shared string.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <memory>
#include <string>

#include "xls/cell_heap.h"
#include "xls/row_col_info.h"
#include "xls/sheet_parts.h"
#include "xls/string_table.h"

namespace xls {

class TXLSWorkbook;
class TXLSRange;
using IXLSRange = std::shared_ptr<TXLSRange>;

inline constexpr std::size_t kMaxSheetNameLength = 31;

class IXLSWorksheet {
 public:
  IXLSWorksheet(TXLSWorkbook& workbook, int sheetId, std::u16string name);
  ~IXLSWorksheet();
  IXLSWorksheet(const IXLSWorksheet&) = delete;
  IXLSWorksheet& operator=(const IXLSWorksheet&) = delete;

  TXLSWorkbook& Workbook() const { return workbook_; }
  // The range A1:IV65536 of this sheet, one object shared by all callers.
  IXLSRange Cells() const { return cells_; }
  // A range by 0-based corners (ordered), for the reader and for tests.
  IXLSRange Range(int firstRow, int firstColumn, int lastRow, int lastColumn);

  const std::u16string& Name() const { return name_; }
  void SetName(std::u16string name);  // cut to 31 characters
  int SheetId() const { return sheetId_; }
  int Index() const;  // position 1..Count in the workbook
  SheetType Type() const { return type_; }
  void SetType(SheetType type) { type_ = type; }
  SheetVisibility Visibility() const { return visibility_; }
  void SetVisibility(SheetVisibility visibility) { visibility_ = visibility; }
  // The file read held values in rows past the sheet's last (65,536th) row
  // (an .xlsx sheet or a text list can be longer): they were left out.
  bool RowsLeftOut() const { return rowsLeftOut_; }
  void NoteRowsLeftOut() { rowsLeftOut_ = true; }

  TXLSCellHeap& CellHeap() { return heap_; }
  const TXLSCellHeap& CellHeap() const { return heap_; }
  TXLSColumnInfoList& Columns() { return columns_; }
  const TXLSColumnInfoList& Columns() const { return columns_; }
  TXLSRowInfoList& Rows() { return rows_; }
  const TXLSRowInfoList& Rows() const { return rows_; }
  TXLSSheetParts& Parts() { return parts_; }
  const TXLSSheetParts& Parts() const { return parts_; }

  // The format that applies at a position: the cell's own when a cell exists,
  // else the row's own format, else the column's (or the default column's).
  std::uint32_t EffectiveXF(int row, int column) const;
  // The format a new cell at the position takes: the row's, else the column's.
  std::uint32_t PositionXF(int row, int column) const;

  // The cell at a position, created blank with PositionXF when missing.
  TXLSCellRef& GetOrCreateCell(int row, int column);
  // Gives the cell another format and moves its use in the format table.
  void SetCellXF(TXLSCellRef& cell, std::uint32_t xf);
  // Empties a cell: releases its shared string, drops its formula, makes it blank.
  void ClearCellContent(TXLSCellRef& cell);
  // Stores a text in the cell (entering it in the shared string table).
  void SetCellText(TXLSCellRef& cell, std::u16string_view text);
  // A text already in the shared string table, by its index (a file's own
  // table taken over with AdoptUnused).
  void SetCellStringIndex(TXLSCellRef& cell, std::int32_t index);
  // A text with formatting runs (rich text), as a file brings it.
  void SetCellRichText(TXLSCellRef& cell, std::u16string_view text, const std::vector<TXLSRichRun>& runs);
  // Formats for a whole row or column; the use moves in the format table.
  void SetRowXF(int row, std::int32_t xf);
  void SetColumnXF(int column, std::int32_t xf);

  // Merged areas: MergeCells records an area (as the reader finds them);
  // a cell inside an area other than its top-left cell holds no value.
  void MergeCells(const TXLSArea& area);
  const TXLSArea* MergedAreaAt(int row, int column) const;
  bool IsCoveredByMerge(int row, int column) const;

 private:
  TXLSWorkbook& workbook_;
  int sheetId_;
  std::u16string name_;
  SheetType type_ = SheetType::Worksheet;
  SheetVisibility visibility_ = SheetVisibility::Visible;
  bool rowsLeftOut_ = false;
  TXLSCellHeap heap_;
  TXLSColumnInfoList columns_;
  TXLSRowInfoList rows_;
  TXLSSheetParts parts_;
  IXLSRange cells_;
};

}  // namespace xls
