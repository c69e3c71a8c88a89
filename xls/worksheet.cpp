#include "xls/worksheet.h"

#include "xls/range.h"
#include "xls/workbook.h"

namespace xls {

IXLSWorksheet::IXLSWorksheet(TXLSWorkbook& workbook, int sheetId, std::u16string name)
    : workbook_(workbook), sheetId_(sheetId) {
  SetName(std::move(name));
  cells_ = std::make_shared<TXLSRange>(*this, 0, 0, kRowCount - 1, kColumnCount - 1);
}

IXLSWorksheet::~IXLSWorksheet() = default;

IXLSRange IXLSWorksheet::Range(int firstRow, int firstColumn, int lastRow, int lastColumn) {
  return std::make_shared<TXLSRange>(*this, firstRow, firstColumn, lastRow, lastColumn);
}

void IXLSWorksheet::SetName(std::u16string name) {
  if (name.size() > kMaxSheetNameLength) name.resize(kMaxSheetNameLength);
  name_ = std::move(name);
}

int IXLSWorksheet::Index() const { return workbook_.Worksheets().PositionOf(this); }

std::uint32_t IXLSWorksheet::PositionXF(int row, int column) const {
  if (const TXLSRowInfo* info = rows_.Find(row); info && info->xf != kNoFormat)
    return static_cast<std::uint32_t>(info->xf);
  const std::int32_t columnXF = columns_.Effective(column).xf;
  return columnXF == kNoFormat ? 0 : static_cast<std::uint32_t>(columnXF);
}

std::uint32_t IXLSWorksheet::EffectiveXF(int row, int column) const {
  if (const TXLSCellRef* cell = heap_.Find(row, column)) return cell->xf;
  return PositionXF(row, column);
}

TXLSCellRef& IXLSWorksheet::GetOrCreateCell(int row, int column) {
  bool created = false;
  TXLSCellRef& cell = heap_.GetOrCreate(row, column, created);  // one search: files create a cell per value
  if (created) {
    cell.xf = PositionXF(row, column);
    workbook_.XFList().AddUse(cell.xf);
    rows_.NoteCell(row, column);
  }
  return cell;
}

void IXLSWorksheet::SetCellXF(TXLSCellRef& cell, std::uint32_t xf) {
  workbook_.XFList().MoveUse(cell.xf, xf);
  cell.xf = xf;
}

void IXLSWorksheet::ClearCellContent(TXLSCellRef& cell) {
  if (cell.kind == CellKind::Text) workbook_.Strings().Release(cell.stringIndex);
  cell.stringIndex = -1;
  cell.formula.reset();
  cell.number = 0;
  cell.kind = CellKind::Blank;
}

void IXLSWorksheet::SetCellText(TXLSCellRef& cell, std::u16string_view text) {
  ClearCellContent(cell);
  cell.kind = CellKind::Text;
  cell.stringIndex = workbook_.Strings().Add(text);
}

void IXLSWorksheet::SetCellStringIndex(TXLSCellRef& cell, std::int32_t index) {
  ClearCellContent(cell);
  if (index < 0 || index >= workbook_.Strings().Count()) return;
  cell.kind = CellKind::Text;
  cell.stringIndex = index;
  workbook_.Strings().Use(index);
}

void IXLSWorksheet::SetCellRichText(TXLSCellRef& cell, std::u16string_view text,
                                    const std::vector<TXLSRichRun>& runs) {
  ClearCellContent(cell);
  cell.kind = CellKind::Text;
  cell.stringIndex = workbook_.Strings().AddRich(text, runs);
}

void IXLSWorksheet::SetRowXF(int row, std::int32_t xf) {
  TXLSRowInfo& info = rows_.GetOrCreate(row);
  if (info.xf != kNoFormat) workbook_.XFList().ReleaseUse(static_cast<std::uint32_t>(info.xf));
  if (xf != kNoFormat) workbook_.XFList().AddUse(static_cast<std::uint32_t>(xf));
  info.xf = xf;
}

void IXLSWorksheet::SetColumnXF(int column, std::int32_t xf) {
  TXLSColumnInfo& info = columns_.GetOrCreate(column);
  if (info.xf != kNoFormat) workbook_.XFList().ReleaseUse(static_cast<std::uint32_t>(info.xf));
  if (xf != kNoFormat) workbook_.XFList().AddUse(static_cast<std::uint32_t>(xf));
  info.xf = xf;
}

void IXLSWorksheet::MergeCells(const TXLSArea& area) { parts_.mergedAreas.push_back(area); }

const TXLSArea* IXLSWorksheet::MergedAreaAt(int row, int column) const {
  for (const TXLSArea& area : parts_.mergedAreas) {
    if (area.Contains(row, column)) return &area;
  }
  return nullptr;
}

bool IXLSWorksheet::IsCoveredByMerge(int row, int column) const {
  if (parts_.mergedAreas.empty()) return false;
  const TXLSArea* area = MergedAreaAt(row, column);
  return area && (row != area->firstRow || column != area->firstColumn);
}

}  // namespace xls
