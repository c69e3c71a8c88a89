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

#include "xls/range.h"
#include "xls/workbook.h"

namespace {

constexpr int kRows = 65536;

std::filesystem::path InputFile() {
  if (const char* keep = std::getenv("TALVANE_BENCH_KEEP_FILE")) return keep;
  return std::filesystem::temp_directory_path() / ("talvane_open_bench_" + std::to_string(::getpid()) + ".xls");
}

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
  const std::filesystem::path file = InputFile();
  if (!WriteInputFile(file)) {
    state.SkipWithError("SaveAs of the input file failed");
    return;
  }
  const std::string path = file.string();
  for (auto _ : state) {
    xls::TXLSWorkbook book;
    if (book.Open(path) != xls::kOpenOk) {
      state.SkipWithError("Open failed");
      break;
    }
    const xls::IXLSRange cells = book.Worksheets().Entries(1)->Cells();
    double sum = 0;
    for (int row = 1; row <= kRows; ++row) sum += cells->Item(row, 1)->Value().AsDouble();
    benchmark::DoNotOptimize(sum);
  }
  state.counters["file_kb"] = static_cast<double>(std::filesystem::file_size(file)) / 1024.0;
  state.counters["peak_rss_mb"] = PeakRssMegabytes();
  if (!std::getenv("TALVANE_BENCH_KEEP_FILE")) std::filesystem::remove(file);
}
BENCHMARK(BM_Open65536NumbersAndReadColumnA)->Unit(benchmark::kMillisecond);

}  // namespace
