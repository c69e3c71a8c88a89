#include "xls/range.h"

#include <algorithm>
#include <cmath>

#include "xls/format_edit.h"
#include "xls/interior.h"
#include "xls/workbook.h"
#include "xls/worksheet.h"

namespace xls {

namespace {
constexpr int kMaxWidthCharacters = 255;

struct AlignmentCode {
  int argument;
  int code;
};
constexpr AlignmentCode kHorizontal[] = {
    {xlGeneral, 0}, {xlLeft, 1},    {xlCenter, 2},  {xlRight, 3},
    {xlFill, 4},    {xlJustify, 5}, {xlCenterAcrossSelection, 6}, {xlDistributed, 7},
};
constexpr AlignmentCode kVertical[] = {
    {xlTop, 0}, {xlCenter, 1}, {xlBottom, 2}, {xlJustify, 3}, {xlDistributed, 4},
};

template <std::size_t N>
int CodeOf(const AlignmentCode (&table)[N], int argument) {
  for (const AlignmentCode& entry : table) {
    if (entry.argument == argument) return entry.code;
  }
  return -1;
}

template <std::size_t N>
int ArgumentOf(const AlignmentCode (&table)[N], int code) {
  for (const AlignmentCode& entry : table) {
    if (entry.code == code) return entry.argument;
  }
  return table[0].argument;
}
}  // namespace

TXLSRange::TXLSRange(IXLSWorksheet& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn)
    : sheet_(sheet) {
  if (firstRow > lastRow) std::swap(firstRow, lastRow);
  if (firstColumn > lastColumn) std::swap(firstColumn, lastColumn);
  area_.firstRow = static_cast<std::uint16_t>(firstRow);
  area_.lastRow = static_cast<std::uint16_t>(lastRow);
  area_.firstColumn = static_cast<std::uint8_t>(firstColumn);
  area_.lastColumn = static_cast<std::uint8_t>(lastColumn);
}

IXLSRange TXLSRange::Item(int row, int column) const {
  const long long absoluteRow = static_cast<long long>(area_.firstRow) + row - 1;
  const long long absoluteColumn = static_cast<long long>(area_.firstColumn) + column - 1;
  if (absoluteRow < 0 || absoluteRow >= kRowCount || absoluteColumn < 0 || absoluteColumn >= kColumnCount)
    throw XLSError("Invalid row/column index");
  const int r = static_cast<int>(absoluteRow);
  const int c = static_cast<int>(absoluteColumn);
  return std::make_shared<TXLSRange>(sheet_, r, c, r, c);
}

IXLSFont TXLSRange::Font() { return std::make_shared<TXLSFont>(shared_from_this()); }

IXLSInterior TXLSRange::Interior() { return std::make_shared<TXLSInterior>(shared_from_this()); }

// ---- Value ------------------------------------------------------------------

void TXLSRange::SetValue(const Variant& value) {
  if (value.IsArray()) {
    AssignArray(value.ArrayValue());
  } else {
    for (int row = area_.firstRow; row <= area_.lastRow; ++row) {
      for (int column = area_.firstColumn; column <= area_.lastColumn; ++column) AssignToCell(row, column, value);
    }
  }
  sheet_.Workbook().AdvanceRecalcStamp();
}

void TXLSRange::AssignArray(const VariantArray& array) {
  const std::size_t dimensions = array.dimensions.size();
  if (dimensions == 0 || dimensions > 2) return;
  const int rows = dimensions == 2 ? array.dimensions[0].extent : 1;
  const int columns = array.dimensions[dimensions - 1].extent;
  const Variant notAvailable = Variant::Text(u"#N/D");
  for (int i = 0; i <= area_.lastRow - area_.firstRow; ++i) {
    for (int j = 0; j <= area_.lastColumn - area_.firstColumn; ++j) {
      const int elementRow = rows == 1 ? 0 : i;
      const int elementColumn = columns == 1 ? 0 : j;
      const int row = area_.firstRow + i;
      const int column = area_.firstColumn + j;
      if (elementRow >= rows || elementColumn >= columns) {
        AssignToCell(row, column, notAvailable);
        continue;
      }
      const Variant& element = dimensions == 2 ? array.At(elementRow, elementColumn) : array.At(elementColumn);
      if (!element.IsArray()) AssignToCell(row, column, element);
    }
  }
}

void TXLSRange::AssignToCell(int row, int column, const Variant& value) {
  if (sheet_.IsCoveredByMerge(row, column)) return;
  TXLSWorkbook& book = sheet_.Workbook();
  TXLSCellRef& cell = sheet_.GetOrCreateCell(row, column);
  sheet_.ClearCellContent(cell);
  switch (value.Kind()) {
    case VariantKind::Null:
    case VariantKind::Empty:
    case VariantKind::Array:
      return;
    case VariantKind::Date: {
      const double t = value.AsDouble();
      cell.kind = CellKind::Date;
      cell.number = (t >= 1 && t < 61) ? t - 1 : t;  // the file's day counts include 29 February 1900
      return;
    }
    case VariantKind::Boolean:
      cell.kind = CellKind::Boolean;
      cell.number = value.AsBoolean() ? 1.0 : 0.0;
      return;
    case VariantKind::AnsiText:
    case VariantKind::Text:
      break;
    default:
      cell.kind = CellKind::Number;
      cell.number = value.AsDouble();
      return;
  }

  std::u16string text = value.AsText();
  if (text.empty()) return;
  if (text.front() == u'=') {
    if (TXLSFormulaCalculator* calculator = book.FormulaCalculator()) {
      if (auto formula = calculator->Compile(std::u16string_view(text).substr(1), sheet_)) {
        cell.kind = CellKind::Formula;
        cell.formula = std::move(formula);
        return;
      }
    }
  } else if (text.front() == u'\'') {
    text.erase(0, 1);
  }
  sheet_.SetCellText(cell, text);
  if (text.find(u'\n') != std::u16string::npos) {
    ChangeFormats(sheet_, TXLSArea{static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(row),
                                   static_cast<std::uint8_t>(column), static_cast<std::uint8_t>(column)},
                  [](TXLSXF& xf) {
                    xf.alignment |= kWrapBit;
                    xf.usedAttributes |= kUsedAlignment;
                  });
  }
}

Variant TXLSRange::Value() const {
  if (area_.firstRow == area_.lastRow && area_.firstColumn == area_.lastColumn)
    return CellValue(area_.firstRow, area_.firstColumn);
  const int rows = area_.lastRow - area_.firstRow + 1;
  const int columns = area_.lastColumn - area_.firstColumn + 1;
  Variant result = Variant::Array2D(rows, columns);
  VariantArray& array = result.ArrayValue();
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) array.At(i, j) = CellValue(area_.firstRow + i, area_.firstColumn + j);
  }
  return result;
}

Variant TXLSRange::CellValue(int row, int column) const {
  if (sheet_.IsCoveredByMerge(row, column)) return Variant::Null();
  const TXLSCellRef* cell = sheet_.CellHeap().Find(row, column);
  if (!cell) return Variant::Null();
  const TXLSWorkbook& book = sheet_.Workbook();
  const auto asDate = [](double d) { return Variant::Date((d >= 0 && d < 60) ? d + 1 : d); };
  switch (cell->kind) {
    case CellKind::Blank:
    case CellKind::Error:
      return Variant::Null();
    case CellKind::Text:
      return Variant::Text(std::u16string(book.Strings().Text(cell->stringIndex)));
    case CellKind::Number:
      if (book.NumFormats().IsDateFormat(book.XFList().EffectiveNumFormat(cell->xf))) return asDate(cell->number);
      return Variant::Double(cell->number);
    case CellKind::Date:
      return asDate(cell->number);
    case CellKind::Boolean:
      return Variant::Boolean(cell->number > 0);
    case CellKind::Formula:
      if (!cell->formula) return Variant::Null();
      if (TXLSFormulaCalculator* calculator = book.FormulaCalculator())
        return calculator->Evaluate(*cell->formula, sheet_, row, column);
      return cell->formula->CachedResult();
  }
  return Variant::Null();
}

// ---- Column width -------------------------------------------------------------

std::uint16_t TXLSRange::WidthToUnits(double characters) {
  if (!(characters > 0)) return 0;  // also NaN
  characters = std::min<double>(characters, kMaxWidthCharacters);
  const double whole = std::floor(characters);
  const double fraction = characters - whole;
  if (whole == 0) return static_cast<std::uint16_t>(std::lround(fraction * 256 * 1.8));
  return static_cast<std::uint16_t>(whole * 256 + static_cast<double>(std::lround(fraction * 256)) + 182);
}

double TXLSRange::UnitsToWidth(std::uint16_t units) {
  const double characters = units < 438 ? units / 460.8 : (units - 182) / 256.0;
  return std::round(characters * 100) / 100;
}

void TXLSRange::SetColumnWidth(const Variant& width) {
  auto apply = [this](int column, const Variant& value) {
    if (!value.IsNumeric() && value.Kind() != VariantKind::Date) return;
    sheet_.Columns().GetOrCreate(column).width = WidthToUnits(value.AsDouble());
  };
  if (!width.IsArray()) {
    for (int column = area_.firstColumn; column <= area_.lastColumn; ++column) apply(column, width);
    return;
  }
  const VariantArray& array = width.ArrayValue();
  const std::size_t dimensions = array.dimensions.size();
  if (dimensions == 0 || dimensions > 2) return;
  const int extent = array.dimensions[dimensions - 1].extent;
  for (int j = 0; j <= area_.lastColumn - area_.firstColumn; ++j) {
    const int element = extent == 1 ? 0 : j;
    if (element >= extent) break;  // columns beyond the array are left alone
    apply(area_.firstColumn + j, dimensions == 2 ? array.At(0, element) : array.At(element));
  }
}

double TXLSRange::ColumnWidth() const { return UnitsToWidth(sheet_.Columns().Effective(area_.firstColumn).width); }

// ---- Alignment and wrapping ---------------------------------------------------

void TXLSRange::SetWrapText(bool wrap) {
  ChangeFormats(sheet_, area_, [wrap](TXLSXF& xf) {
    xf.alignment = static_cast<std::uint8_t>(wrap ? (xf.alignment | kWrapBit) : (xf.alignment & ~kWrapBit));
    xf.usedAttributes |= kUsedAlignment;
  });
}

bool TXLSRange::WrapText() const {
  return sheet_.Workbook().XFList().Entry(sheet_.EffectiveXF(area_.firstRow, area_.firstColumn)).Wrap();
}

void TXLSRange::SetHorizontalAlignment(int alignment) {
  const int code = CodeOf(kHorizontal, alignment);
  if (code < 0) return;
  ChangeFormats(sheet_, area_, [code](TXLSXF& xf) {
    xf.alignment = static_cast<std::uint8_t>((xf.alignment & ~kHorizontalMask) | code);
    xf.usedAttributes |= kUsedAlignment;
  });
}

int TXLSRange::HorizontalAlignment() const {
  const TXLSXF& xf = sheet_.Workbook().XFList().Entry(sheet_.EffectiveXF(area_.firstRow, area_.firstColumn));
  return ArgumentOf(kHorizontal, xf.HorizontalAlignment());
}

void TXLSRange::SetVerticalAlignment(int alignment) {
  const int code = CodeOf(kVertical, alignment);
  if (code < 0) return;
  ChangeFormats(sheet_, area_, [code](TXLSXF& xf) {
    xf.alignment = static_cast<std::uint8_t>((xf.alignment & ~kVerticalMask) | (code << kVerticalShift));
    xf.usedAttributes |= kUsedAlignment;
  });
}

int TXLSRange::VerticalAlignment() const {
  const TXLSXF& xf = sheet_.Workbook().XFList().Entry(sheet_.EffectiveXF(area_.firstRow, area_.firstColumn));
  return ArgumentOf(kVertical, xf.VerticalAlignment());
}

}  // namespace xls
