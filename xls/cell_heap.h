#pragma once
// The sparse cell store of a sheet (`TXLSCellHeap`) and its cells
// (`TXLSCellRef`). Rows are found through two levels of 256 blocks (the
// row's high byte, then its low byte), allocated on first use; the cells of
// a row are kept in a compact array ordered by column, so a long list in one
// column costs a few dozen bytes a row. Lookup never allocates.
//
// A pointer to a cell stays valid until the next cell is created in the same
// row.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "xls/formula.h"

namespace xls {

inline constexpr int kRowCount = 65536;
inline constexpr int kColumnCount = 256;

// An error cell holds an error value such as #DIV/0! (ErrorValueText in
// formula.h names the codes); its value reads as null, as a formula's error
// result does.
enum class CellKind : std::uint8_t { Blank = 0, Text = 1, Number = 2, Date = 3, Boolean = 4, Formula = 5, Error = 6 };

struct TXLSCellRef {
  std::uint16_t row = 0;
  std::uint8_t column = 0;
  CellKind kind = CellKind::Blank;
  std::uint32_t xf = 0;  // 0 = the default cell format (XF 15)
  std::int32_t stringIndex = -1;  // shared string (text kind)
  double number = 0;              // number, date (day count), boolean (1 or 0), error code
  std::unique_ptr<TXLSFormula> formula;  // formula kind
};

class TXLSCellHeap {
 public:
  TXLSCellHeap();
  ~TXLSCellHeap();
  TXLSCellHeap(const TXLSCellHeap&) = delete;
  TXLSCellHeap& operator=(const TXLSCellHeap&) = delete;

  TXLSCellRef* Find(int row, int column);
  const TXLSCellRef* Find(int row, int column) const;
  // The cell at the position, created blank (format 0) when missing;
  // `created` tells which.
  TXLSCellRef& GetOrCreate(int row, int column, bool& created);

  // The cells of a row in column order (empty when the row has none).
  const std::vector<TXLSCellRef>& Row(int row) const;
  std::vector<TXLSCellRef>* MutableRow(int row);

  bool Empty() const { return count_ == 0; }
  std::size_t CellCount() const { return count_; }
  // Used bounds; meaningful only when not Empty().
  int FirstRow() const { return firstRow_; }
  int LastRow() const { return lastRow_; }
  int FirstColumn() const { return firstColumn_; }
  int LastColumn() const { return lastColumn_; }

  void Clear();

 private:
  struct RowBlock {
    std::array<std::vector<TXLSCellRef>, 256> rows;
  };
  std::array<std::unique_ptr<RowBlock>, 256> blocks_;
  std::size_t count_ = 0;
  int firstRow_ = 0, lastRow_ = 0, firstColumn_ = 0, lastColumn_ = 0;
  int lastStartedRow_ = -1;  // the row whose first cell was created last
};

}  // namespace xls
