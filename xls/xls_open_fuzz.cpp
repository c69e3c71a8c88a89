// Opens arbitrary bytes as a workbook: whatever Open makes of them must end
// in a result code, and what it read must be safe to use: every cell's value
// is read and a workbook read whole is built into a BIFF8 stream again.

#include <cstddef>
#include <cstdint>

#include "xls/biff_writer.h"
#include "xls/fuzz_read_every_cell.h"
#include "xls/range.h"
#include "xls/workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  xls::TXLSWorkbook book;
  const int result = book.OpenBytes({data, size});
  xls::ReadEveryCell(book);
  if (result == xls::kOpenOk) {
    const std::vector<std::uint8_t> stream = xls::TXLSWriter(book).BuildStream();
    if (stream.empty() || stream.size() % 512 != 0) __builtin_trap();
  }
  return 0;
}
