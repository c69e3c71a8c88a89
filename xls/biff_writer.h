#pragma once
// The BIFF8 writer (`TXLSWriter`) behind SaveAs: it numbers the workbook's
// tables anew, builds the workbook stream (globals, then every sheet) and
// puts it as the stream "Workbook" into a new compound file, together with
// the VBA project storage of a BIFF8 file read. The new file replaces the
// one at the path only once it was written completely.
//
// Threads: one workbook read or save, on the caller's thread; no shared state.

#include <cstdint>
#include <string_view>
#include <vector>

namespace xls {

class TXLSWorkbook;

class TXLSWriter {
 public:
  explicit TXLSWriter(TXLSWorkbook& workbook) : workbook_(workbook) {}

  // 1 written; -1 empty path; -2 the file cannot be created or put in place.
  int SaveAs(std::u16string_view path);

  // The workbook stream, padded with zeros to a multiple of 512 bytes. A
  // workbook without sheets first gets one.
  std::vector<std::uint8_t> BuildStream();

 private:
  bool WritesVba() const;

  TXLSWorkbook& workbook_;
};

}  // namespace xls
