#include "xls/row_col_info.h"

#include <algorithm>

namespace xls {

const TXLSColumnInfo* TXLSColumnInfoList::Find(int column) const {
  if (column < 0 || column > 255 || !columns_[static_cast<std::size_t>(column)]) return nullptr;
  return &*columns_[static_cast<std::size_t>(column)];
}

TXLSColumnInfo* TXLSColumnInfoList::Find(int column) {
  if (column < 0 || column > 255 || !columns_[static_cast<std::size_t>(column)]) return nullptr;
  return &*columns_[static_cast<std::size_t>(column)];
}

TXLSColumnInfo& TXLSColumnInfoList::GetOrCreate(int column) {
  auto& entry = columns_.at(static_cast<std::size_t>(column));
  if (!entry) entry = default_;
  return *entry;
}

const TXLSColumnInfo& TXLSColumnInfoList::Effective(int column) const {
  const TXLSColumnInfo* own = Find(column);
  return own ? *own : default_;
}

void TXLSColumnInfoList::Clear() {
  default_ = TXLSColumnInfo{};
  for (auto& entry : columns_) entry.reset();
}

const TXLSRowInfo* TXLSRowInfoList::Find(int row) const {
  if (row < 0 || row > 65535) return nullptr;
  const auto& block = blocks_[static_cast<std::size_t>(row >> 8)];
  if (!block || !block->present[static_cast<std::size_t>(row & 0xFF)]) return nullptr;
  return &block->rows[static_cast<std::size_t>(row & 0xFF)];
}

TXLSRowInfo* TXLSRowInfoList::Find(int row) {
  return const_cast<TXLSRowInfo*>(static_cast<const TXLSRowInfoList*>(this)->Find(row));
}

TXLSRowInfo& TXLSRowInfoList::GetOrCreate(int row) {
  auto& block = blocks_.at(static_cast<std::size_t>(row >> 8));
  if (!block) block = std::make_unique<Block>();
  const auto slot = static_cast<std::size_t>(row & 0xFF);
  if (!block->present[slot]) {
    block->present[slot] = true;
    block->rows[slot] = TXLSRowInfo{};
    if (count_ == 0) {
      firstRow_ = lastRow_ = row;
    } else {
      firstRow_ = std::min(firstRow_, row);
      lastRow_ = std::max(lastRow_, row);
    }
    ++count_;
  }
  return block->rows[slot];
}

void TXLSRowInfoList::NoteCell(int row, int column) {
  TXLSRowInfo& info = GetOrCreate(row);
  const auto c = static_cast<std::int16_t>(column);
  if (info.firstColumn < 0 || c < info.firstColumn) info.firstColumn = c;
  if (c > info.lastColumn) info.lastColumn = c;
}

void TXLSRowInfoList::Clear() {
  for (auto& block : blocks_) block.reset();
  count_ = 0;
  firstRow_ = lastRow_ = 0;
}

}  // namespace xls
