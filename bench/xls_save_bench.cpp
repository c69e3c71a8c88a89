// Saving the result workbook of a full campaign: 65,535 numbers in column A,
// each filled (sent, failed, corrected, repeated or none), centred, in a
// column 15 characters wide. Goal: SaveAs under 40 ms; the whole process
// (model and save) under 60 MB peak memory, reported as peak_rss_mb.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/codepage.h"
#include "xls/biff_writer.h"
#include "xls/interior.h"
#include "xls/workbook.h"

namespace {

constexpr int kRows = 65535;

std::shared_ptr<xls::TXLSWorkbook> ResultWorkbook() {
  const int colours[] = {4, 3, 46, 38, xls::xlNone};
  auto book = xls::TXLSWorkbook::Create();
  const xls::IXLSRange cells = book->Worksheets().Add()->Cells();
  for (int row = 1; row <= kRows; ++row) {
    const xls::IXLSRange cell = cells->Item(row, 1);
    cell->SetValue(xls::Variant::Text(platform::Utf8ToUtf16(std::to_string(600000000 + row))));
    cell->Interior()->SetColorIndex(colours[row % 5]);
    cell->SetVerticalAlignment(xls::xlCenter);
    cell->SetHorizontalAlignment(xls::xlCenter);
    cell->SetColumnWidth(15);
  }
  return book;
}

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void BM_FillResultRows(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ResultWorkbook());
  state.counters["peak_rss_mb"] = PeakRssMegabytes();
}
BENCHMARK(BM_FillResultRows)->Unit(benchmark::kMillisecond);

void BM_BuildWorkbookStream(benchmark::State& state) {
  const auto book = ResultWorkbook();
  for (auto _ : state) benchmark::DoNotOptimize(xls::TXLSWriter(*book).BuildStream());
  state.counters["peak_rss_mb"] = PeakRssMegabytes();
}
BENCHMARK(BM_BuildWorkbookStream)->Unit(benchmark::kMillisecond);

void BM_SaveAs65535Rows(benchmark::State& state) {
  const auto book = ResultWorkbook();
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("talvane_bench_" + std::to_string(::getpid()) + ".xls");
  const std::u16string path = platform::Utf8ToUtf16(file.string());
  for (auto _ : state) {
    if (book->SaveAs(path) != xls::kSaveOk) state.SkipWithError("SaveAs failed");
  }
  state.counters["file_kb"] = static_cast<double>(std::filesystem::file_size(file)) / 1024.0;
  state.counters["peak_rss_mb"] = PeakRssMegabytes();
  std::filesystem::remove(file);
}
BENCHMARK(BM_SaveAs65535Rows)->Unit(benchmark::kMillisecond);

}  // namespace
