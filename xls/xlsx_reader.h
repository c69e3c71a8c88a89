#pragma once
// Reading an .xlsx workbook (Office Open XML, a zip package of XML entries)
// into the workbook model, behind TXLSWorkbook::Open. The package's own
// relationships lead from the root to the workbook entry and from there to
// its sheets, in the workbook's order; entry names are never guessed.
//
// Every worksheet is read with its values and the number format and fill of
// each cell; a chart sheet becomes an empty chart sheet; macro and dialog
// sheets are left out. What a BIFF8 copy cannot get from the file (fonts,
// borders, formulas as text, ...) is noted as a save loss.

#include <cstdint>
#include <span>

#include "xls/workbook.h"

namespace xls {

// The result code of Open: kOpenOk, kOpenCorrupt (no readable zip, malformed
// XML), kOpenEntryMissing, kOpenTooLarge, kOpenTooDeep. The workbook was cleared
// by the caller.
int ReadXlsxWorkbook(TXLSWorkbook& book, std::span<const std::uint8_t> bytes);

}  // namespace xls
