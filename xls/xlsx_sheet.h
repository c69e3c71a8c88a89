#pragma once
// The cells of one worksheet entry of an .xlsx workbook, streamed into a
// sheet of the model: numbers, shared and inline strings (rich text as plain
// text), booleans, ISO dates, and formulas as their cached results (the
// formula text itself is not carried). Error values become blank cells, as
// in a BIFF file read. Cells outside the 65,536 × 256 grid are left out.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xls/worksheet.h"
#include "xls/xlsx_package.h"

namespace xls {

struct XlsxSheetContext {
  // The file's shared strings, taken over into the workbook's string table
  // from index firstSharedString on.
  std::int32_t firstSharedString = 0;
  std::size_t sharedStringCount = 0;
  const std::vector<std::uint32_t>& cellFormats;  // model XF of each file cell format
  bool sawFormula = false;
};

int ReadSheetEntry(XlsxPackage& package, std::string_view entry, IXLSWorksheet& sheet, XlsxSheetContext& context);

// "B12" -> row 11, column 1 (0-based); false for anything else.
bool ParseCellReference(std::string_view text, int& row, int& column);
// An ISO 8601 date or date-time ("2024-03-01", "2024-03-01T12:30:00") as a
// day count of the 1900 system; false when it is none.
bool ParseIsoDate(std::string_view text, double& days);

}  // namespace xls
