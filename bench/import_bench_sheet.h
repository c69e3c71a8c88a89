#pragma once
// The sheet the import benchmarks read: 65,535 rows in column A, most of
// them distinct nine-digit numbers, every tenth too long (corrected), every
// tenth too short (rejected) and every tenth a repeat of the row above.

#include <filesystem>
#include <string>

#include "xls/interior.h"
#include "xls/range.h"
#include "xls/workbook.h"
#include "xls/worksheet.h"

namespace bench {

inline constexpr int kImportRows = 65535;

inline std::string ImportSheetNumber(int row) {
  switch (row % 10) {
    case 0:
      return "48" + std::to_string(600000000 + row);  // corrected
    case 1:
      return std::to_string(1000 + row);  // rejected
    case 2:
      return std::to_string(600000000 + row - 1);  // a repeat
    default:
      return std::to_string(600000000 + row);
  }
}

// Writes the sheet once; the benchmarks copy it before each import, since the
// import writes its marks back into the file.
inline void WriteImportSheet(const std::filesystem::path& file) {
  const auto book = xls::TXLSWorkbook::Create();
  const xls::IXLSRange cells = book->Worksheets().Add()->Cells();
  for (int row = 1; row <= kImportRows; ++row) {
    cells->Item(row, 1)->SetValue(xls::Variant::Double(std::stod(ImportSheetNumber(row))));
  }
  book->SaveAs(file.string());
}

}  // namespace bench
