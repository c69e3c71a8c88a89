#pragma once
// The workbook globals substream of a BIFF8 file, in two lists: globals A
// (BOF up to EXTSST; the BOUNDSHEET records are added once the sheet offsets
// are known) and globals B (external references, names, the drawing group,
// EOF).
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <vector>

#include "xls/biff_records.h"
#include "xls/biff_tables.h"

namespace xls {

class TXLSWorkbook;

struct TXLSGlobalsOptions {
  bool writeVba = false;  // a VBA project copy goes into the file
};

void WriteGlobalsA(TXLSBlobList& out, const TXLSWorkbook& book, const TXLSWriteTables& tables,
                   const TXLSGlobalsOptions& options);
// BOUNDSHEET records, one per sheet, at the given substream offsets.
void WriteBoundSheets(TXLSBlobList& out, const TXLSWorkbook& book, const std::vector<std::uint32_t>& sheetOffsets);
std::size_t BoundSheetsSize(const TXLSWorkbook& book);
void WriteGlobalsB(TXLSBlobList& out, const TXLSWorkbook& book);

// SST and EXTSST. `streamOffset` is where `out` begins in the stream.
void WriteSharedStrings(TXLSBlobList& out, std::size_t streamOffset, const TXLSWorkbook& book,
                        const TXLSWriteTables& tables);

// The longest cell text written; longer texts are cut (spreadsheet programs
// hold no more in a cell).
inline constexpr std::size_t kMaxCellText = 32767;

}  // namespace xls
