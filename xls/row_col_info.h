#pragma once
// Per-column and per-row settings of a sheet: `TXLSColumnInfoList` (one
// optional entry per column 0-255 plus the default entry) and
// `TXLSRowInfoList` (an optional entry per row, kept in blocks of 256 rows
// allocated on first use). Every row that holds a cell has an entry, which
// also tracks the row's first and last used column.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace xls {

inline constexpr std::int32_t kNoFormat = -1;
inline constexpr std::uint16_t kDefaultColumnWidth = 2340;  // 1/256 of a character

struct TXLSColumnInfo {
  std::uint16_t width = kDefaultColumnWidth;  // 1/256 of a character
  std::int32_t xf = kNoFormat;                // the column's own format, or kNoFormat
  std::uint8_t outlineLevel = 0;              // 0-7
  bool hidden = false;
  bool collapsed = false;

  bool operator==(const TXLSColumnInfo&) const = default;
};

class TXLSColumnInfoList {
 public:
  TXLSColumnInfo& Default() { return default_; }
  const TXLSColumnInfo& Default() const { return default_; }
  // The column's entry, or nullptr when it has none.
  const TXLSColumnInfo* Find(int column) const;
  TXLSColumnInfo* Find(int column);
  // The column's entry, created as a copy of the default entry when missing.
  TXLSColumnInfo& GetOrCreate(int column);
  // The entry that applies: the column's own, else the default.
  const TXLSColumnInfo& Effective(int column) const;
  void Clear();

 private:
  TXLSColumnInfo default_;
  std::array<std::optional<TXLSColumnInfo>, 256> columns_;
};

struct TXLSRowInfo {
  std::int32_t xf = kNoFormat;  // the row's own format, or kNoFormat
  std::uint16_t height = 0;     // twips; used when customHeight is set
  bool customHeight = false;
  bool hidden = false;
  bool collapsed = false;
  std::uint8_t outlineLevel = 0;  // 0-7
  std::int16_t firstColumn = -1;  // first and last used column; -1 without cells
  std::int16_t lastColumn = -1;
};

class TXLSRowInfoList {
 public:
  const TXLSRowInfo* Find(int row) const;
  TXLSRowInfo* Find(int row);
  TXLSRowInfo& GetOrCreate(int row);
  // Records that a cell exists in a column of the row.
  void NoteCell(int row, int column);

  bool Empty() const { return count_ == 0; }
  int FirstRow() const { return firstRow_; }
  int LastRow() const { return lastRow_; }
  void Clear();

 private:
  struct Block {
    std::array<TXLSRowInfo, 256> rows;
    std::array<bool, 256> present{};
  };
  std::array<std::unique_ptr<Block>, 256> blocks_;
  std::size_t count_ = 0;
  int firstRow_ = 0, lastRow_ = 0;
};

}  // namespace xls
