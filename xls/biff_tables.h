#pragma once
// The numbering a save gives the workbook's tables (compaction): cell formats
// that nothing uses any more, fonts that no written format uses and strings
// that no written cell holds are left out, and everything that refers to
// them is written with the new, consecutive numbers.
//
// Threads: one workbook read or save, on the caller's thread; no shared state.

#include <cstdint>
#include <vector>

namespace xls {

class TXLSWorkbook;
class IXLSWorksheet;
struct TXLSCellRef;

struct TXLSWriteTables {
  std::vector<std::uint32_t> writtenXFs;    // model XF indexes in file order
  std::vector<int> writtenFonts;            // model font indexes in file order
  std::vector<std::int32_t> writtenStrings; // model string indexes in file order
  std::uint32_t stringUses = 0;             // LABELSST records that will be written

  // File numbers of model entries; XF 0 of a cell is written as the default cell format.
  std::uint16_t XF(std::uint32_t modelIndex) const;
  // File number of a table position as it stands (parents and styles refer to XF 0 itself).
  std::uint16_t TableXF(std::uint32_t modelIndex) const;
  std::uint16_t OptionalXF(std::int32_t modelIndex) const;  // kNoFormat gives XF 15
  std::uint16_t Font(int modelIndex) const;  // skips the non-existent file font 4
  std::uint32_t String(std::int32_t modelIndex) const;

  static TXLSWriteTables Build(const TXLSWorkbook& book);

 private:
  std::vector<std::int32_t> xfNumber_;
  std::vector<std::int32_t> fontNumber_;
  std::vector<std::int32_t> stringNumber_;
};

// Whether the writer writes a cell's text as a LABELSST record (a text cell
// that no merged area hides).
bool WritesSharedString(const IXLSWorksheet& sheet, const TXLSCellRef& cell);

}  // namespace xls
