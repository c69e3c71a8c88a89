// Writing and reading a compound file around one "Workbook" stream, in
// memory: the container's share of saving and opening a workbook.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"

namespace {

using namespace xls::cfb;

std::vector<std::uint8_t> FileWithWorkbook(std::size_t size) {
  CompoundFileWriter writer;
  writer.AddStream(writer.Root(), u"Workbook", std::vector<std::uint8_t>(size, 0x5A));
  std::vector<std::uint8_t> bytes;
  writer.SaveToBytes(bytes);
  return bytes;
}

void BM_WriteWorkbookFile(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<std::uint8_t> workbook(size, 0x5A);
  for (auto _ : state) {
    CompoundFileWriter writer;
    writer.AddStream(writer.Root(), u"Workbook", workbook);
    std::vector<std::uint8_t> bytes;
    benchmark::DoNotOptimize(writer.SaveToBytes(bytes));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_WriteWorkbookFile)->Arg(2048)->Arg(1 << 20)->Arg(16 << 20);

void BM_OpenAndReadWorkbookStream(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<std::uint8_t> file = FileWithWorkbook(size);
  for (auto _ : state) {
    CompoundFileReader reader;
    reader.OpenBytes(file);
    EntryInfo info;
    reader.Find(reader.Root(), u"workbook", info);
    std::vector<std::uint8_t> bytes;
    benchmark::DoNotOptimize(reader.ReadStream(info.id, bytes));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_OpenAndReadWorkbookStream)->Arg(2048)->Arg(1 << 20)->Arg(16 << 20);

}  // namespace
