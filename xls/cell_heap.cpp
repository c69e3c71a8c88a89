#include "xls/cell_heap.h"

#include <algorithm>

namespace xls {

namespace {
const std::vector<TXLSCellRef> kNoCells;

auto ColumnLess = [](const TXLSCellRef& cell, int column) { return cell.column < column; };
}  // namespace

TXLSCellHeap::TXLSCellHeap() = default;
TXLSCellHeap::~TXLSCellHeap() = default;

TXLSCellRef* TXLSCellHeap::Find(int row, int column) {
  return const_cast<TXLSCellRef*>(static_cast<const TXLSCellHeap*>(this)->Find(row, column));
}

const TXLSCellRef* TXLSCellHeap::Find(int row, int column) const {
  if (row < 0 || row >= kRowCount || column < 0 || column >= kColumnCount) return nullptr;
  const auto& cells = Row(row);
  const auto found = std::lower_bound(cells.begin(), cells.end(), column, ColumnLess);
  if (found == cells.end() || found->column != column) return nullptr;
  return &*found;
}

TXLSCellRef& TXLSCellHeap::GetOrCreate(int row, int column, bool& created) {
  auto& block = blocks_[static_cast<std::size_t>(row >> 8)];
  if (!block) block = std::make_unique<RowBlock>();
  auto& cells = block->rows[static_cast<std::size_t>(row & 0xFF)];
  if (cells.empty()) {
    // Rows are mostly filled one after another, each as wide as the one
    // before: a new row's array is made that wide at once instead of
    // growing cell by cell.
    if (lastStartedRow_ >= 0) cells.reserve(Row(lastStartedRow_).size());
    lastStartedRow_ = row;
  }
  // Files list a row's cells left to right: a new cell goes at the end.
  auto found = cells.empty() || cells.back().column < column
                   ? cells.end()
                   : std::lower_bound(cells.begin(), cells.end(), column, ColumnLess);
  created = found == cells.end() || found->column != column;
  if (!created) return *found;

  TXLSCellRef cell;
  cell.row = static_cast<std::uint16_t>(row);
  cell.column = static_cast<std::uint8_t>(column);
  found = cells.insert(found, std::move(cell));
  if (count_ == 0) {
    firstRow_ = lastRow_ = row;
    firstColumn_ = lastColumn_ = column;
  } else {
    firstRow_ = std::min(firstRow_, row);
    lastRow_ = std::max(lastRow_, row);
    firstColumn_ = std::min(firstColumn_, column);
    lastColumn_ = std::max(lastColumn_, column);
  }
  ++count_;
  return *found;
}

const std::vector<TXLSCellRef>& TXLSCellHeap::Row(int row) const {
  if (row < 0 || row >= kRowCount) return kNoCells;
  const auto& block = blocks_[static_cast<std::size_t>(row >> 8)];
  if (!block) return kNoCells;
  return block->rows[static_cast<std::size_t>(row & 0xFF)];
}

std::vector<TXLSCellRef>* TXLSCellHeap::MutableRow(int row) {
  if (row < 0 || row >= kRowCount) return nullptr;
  auto& block = blocks_[static_cast<std::size_t>(row >> 8)];
  if (!block) return nullptr;
  return &block->rows[static_cast<std::size_t>(row & 0xFF)];
}

void TXLSCellHeap::Clear() {
  for (auto& block : blocks_) block.reset();
  count_ = 0;
  firstRow_ = lastRow_ = firstColumn_ = lastColumn_ = 0;
  lastStartedRow_ = -1;
}

}  // namespace xls
