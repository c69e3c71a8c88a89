#pragma once
// Formulas as the model keeps them: the BIFF8 token array (what the file
// holds and what the writer writes back), the last result the file carried,
// and, for array formulas, the shared array part. Compiling formula text and
// evaluating formulas belong to a formula calculator that a workbook may be
// given (`TXLSFormulaCalculator`); a workbook without one stores texts that
// begin with "=" as text and gives formula cells their cached result.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xls/variant.h"

namespace xls {

class IXLSWorksheet;

// The kind of result a FORMULA record carries (its 8 cached-result bytes).
enum class FormulaResultKind : std::uint8_t { Number, Text, Boolean, Error, EmptyText };

// The text of an error value by its code in the file (0x07 "#DIV/0!", 0x17
// "#REF!", ...); "#N/A" for codes the format does not define.
std::u16string_view ErrorValueText(std::uint8_t code);

struct TXLSArea {
  std::uint16_t firstRow = 0;
  std::uint16_t lastRow = 0;
  std::uint8_t firstColumn = 0;
  std::uint8_t lastColumn = 0;

  bool Contains(int row, int column) const {
    return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
  }
  bool operator==(const TXLSArea&) const = default;
};

// The part of an array formula shared by all of its cells; its host (the
// top-left cell) writes the ARRAY record.
struct TXLSArrayFormula {
  TXLSArea area;
  std::uint16_t options = 0;
  std::vector<std::uint8_t> tokens;  // BIFF8 token array of the ARRAY record (with any extra data)
};

struct TXLSFormula {
  std::vector<std::uint8_t> tokens;  // BIFF8 token array, followed by its extra data
  std::uint16_t tokenLength = 0;     // bytes of the token array proper (the rest is extra data)
  std::uint16_t options = 0;         // FORMULA option flags as read
  FormulaResultKind resultKind = FormulaResultKind::Number;
  double resultNumber = 0;
  bool resultBoolean = false;
  std::uint8_t resultError = 0;
  std::u16string resultText;  // the STRING record after the FORMULA
  std::shared_ptr<TXLSArrayFormula> array;  // set for the cells of an array formula

  // The cached result as a value: number, text, boolean; null for errors.
  Variant CachedResult() const;
};

class TXLSFormulaCalculator {
 public:
  virtual ~TXLSFormulaCalculator() = default;
  // Compiles formula text (after its "="), or gives nullptr when the text is
  // not a formula the calculator understands.
  virtual std::unique_ptr<TXLSFormula> Compile(std::u16string_view text, const IXLSWorksheet& sheet) = 0;
  // The value of a formula cell; null when there is no result.
  virtual Variant Evaluate(const TXLSFormula& formula, const IXLSWorksheet& sheet, int row, int column) = 0;
};

}  // namespace xls
