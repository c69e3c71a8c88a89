// Opening an input workbook as the import does: a file with 65,536 phone
// numbers in column A (written by SaveAs: NUMBER records), opened and read
// back cell by cell through Cells.Item(r, 1).Value. Goal: under 25 ms for
// the whole; the process under 60 MB peak memory, reported as peak_rss_mb.
// Set TALVANE_BENCH_KEEP_FILE to a path to keep the file there (for timing
// other readers on the same file).

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/open_list_bench.h"
#include "xls/workbook.h"

namespace {

constexpr int kRows = 65536;

bool WriteInputFile(const std::filesystem::path& path) {
  xls::TXLSWorkbook book;
  const xls::IXLSRange cells = book.Worksheets().Add()->Cells();
  for (int row = 1; row <= kRows; ++row) cells->Item(row, 1)->SetValue(xls::Variant::Double(600000000.0 + row));
  return book.SaveAs(path.string()) == xls::kSaveOk;
}

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Open65536NumbersAndReadColumnA(benchmark::State& state) {
  const std::filesystem::path file = bench::InputFile(".xls");
  if (!WriteInputFile(file)) {
    state.SkipWithError("SaveAs of the input file failed");
    return;
  }
  bench::TimeOpenAndReadColumnA(state, file, kRows);
  state.counters["peak_rss_mb"] = PeakRssMegabytes();
  bench::RemoveInputFile(file);
}
BENCHMARK(BM_Open65536NumbersAndReadColumnA)->Unit(benchmark::kMillisecond);

}  // namespace
