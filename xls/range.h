#pragma once
// Ranges (`TXLSRange`, used through `IXLSRange`): a light, shared view of a
// rectangle of one sheet, with the operations the application uses on cells:
// Item, Value, Interior, Font, ColumnWidth, WrapText and the alignments.
// `Item` makes a new single-cell range per call.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <memory>
#include <stdexcept>

#include "xls/formula.h"
#include "xls/variant.h"
#include "xls/xf_list.h"

namespace xls {

class IXLSWorksheet;
class TXLSRange;
class TXLSInterior;
class TXLSFont;
using IXLSRange = std::shared_ptr<TXLSRange>;
using IXLSInterior = std::shared_ptr<TXLSInterior>;
using IXLSFont = std::shared_ptr<TXLSFont>;

// Automation constants the range operations take.
inline constexpr int xlNone = -4142;
inline constexpr int xlAutomatic = -4105;
inline constexpr int xlGeneral = 1;
inline constexpr int xlLeft = -4131;
inline constexpr int xlCenter = -4108;
inline constexpr int xlRight = -4152;
inline constexpr int xlFill = 5;
inline constexpr int xlJustify = -4130;
inline constexpr int xlCenterAcrossSelection = 7;
inline constexpr int xlDistributed = -4117;
inline constexpr int xlTop = -4160;
inline constexpr int xlBottom = -4107;

// Raised by Item outside the sheet.
class XLSError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TXLSRange : public std::enable_shared_from_this<TXLSRange> {
 public:
  // Corners are 0-based and put in order (first <= last); they must lie on the sheet.
  TXLSRange(IXLSWorksheet& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn);

  IXLSWorksheet& Sheet() const { return sheet_; }
  const TXLSArea& Area() const { return area_; }

  // The single cell (first row + row - 1, first column + column - 1); throws
  // XLSError("Invalid row/column index") when that lies outside the sheet.
  IXLSRange Item(int row, int column) const;

  void SetValue(const Variant& value);
  Variant Value() const;

  IXLSFont Font();
  IXLSInterior Interior();

  // Width in characters for every column of the range (over 255 counts as
  // 255); an array gives one width per column.
  void SetColumnWidth(const Variant& width);
  void SetColumnWidth(double width) { SetColumnWidth(Variant::Double(width)); }
  double ColumnWidth() const;  // of the first column, in characters, two decimals

  void SetWrapText(bool wrap);
  bool WrapText() const;
  void SetHorizontalAlignment(int alignment);
  int HorizontalAlignment() const;
  void SetVerticalAlignment(int alignment);
  int VerticalAlignment() const;

  // Width conversions between characters and stored 1/256 units.
  static std::uint16_t WidthToUnits(double characters);
  static double UnitsToWidth(std::uint16_t units);

 private:
  void AssignToCell(int row, int column, const Variant& value);
  void AssignArray(const VariantArray& array);
  Variant CellValue(int row, int column) const;

  IXLSWorksheet& sheet_;
  TXLSArea area_;
};

}  // namespace xls
