#pragma once
// What the open benchmarks share: where their input file lives, and the
// timed loop of an import's reading (Open, then column A cell by cell through
// Cells.Item(r, 1).Value), the same for every file format.
// Threads: the benchmark's own thread.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "xls/range.h"
#include "xls/result_codes.h"
#include "xls/workbook.h"

namespace bench {

// TALVANE_BENCH_KEEP_FILE names a path that keeps the input file (to time
// other readers on it); otherwise a file of this process in the temporary
// folder, removed by RemoveInputFile.
inline std::filesystem::path InputFile(const std::string& extension) {
  if (const char* keep = std::getenv("TALVANE_BENCH_KEEP_FILE")) return keep;
  return std::filesystem::temp_directory_path() /
         ("talvane_open_bench_" + std::to_string(::getpid()) + extension);
}

inline void RemoveInputFile(const std::filesystem::path& file) {
  if (!std::getenv("TALVANE_BENCH_KEEP_FILE")) std::filesystem::remove(file);
}

// Times opening `file` and reading `rows` cells of column A; reports the
// file's size as file_kb.
inline void TimeOpenAndReadColumnA(benchmark::State& state, const std::filesystem::path& file, int rows) {
  const std::string path = file.string();
  for (auto _ : state) {
    xls::TXLSWorkbook book;
    if (book.Open(path) != xls::kOpenOk) {
      state.SkipWithError("Open failed");
      break;
    }
    const xls::IXLSRange cells = book.Worksheets().Entries(1)->Cells();
    double sum = 0;
    for (int row = 1; row <= rows; ++row) sum += cells->Item(row, 1)->Value().AsDouble();
    benchmark::DoNotOptimize(sum);
  }
  state.counters["file_kb"] = static_cast<double>(std::filesystem::file_size(file)) / 1024.0;
}

}  // namespace bench
