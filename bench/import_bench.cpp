// The import of a 65,535-row sheet, timed two ways. ImportThroughTheWindow:
// the window's own "Otwórz plik XLS" on memory views (log and counters
// updated per row, the list window filled), both saves included.
// CliImportProcess: the whole `talvane-cli import` process on the same
// sheet. Goals: the window's import under 2 s, the process under 0.3 s.

#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "app/window/frm_main.h"
#include "app/window/testing/memory_view.h"
#include "app/window/test_support.h"
#include "bench/import_bench_sheet.h"
#include "platform/headless_main_loop.h"

namespace {

namespace fs = std::filesystem;

struct Sheet {
  Sheet() { bench::WriteImportSheet(pristine()); }
  fs::path pristine() const { return env.folder / "wzor.xls"; }
  fs::path input() const { return env.folder / "klienci.xls"; }
  void Restore() const { fs::copy_file(pristine(), input(), fs::copy_options::overwrite_existing); }
  app::testing::TestEnvironment env;
};

void ImportThroughTheWindow(benchmark::State& state) {
  Sheet sheet;
  platform::HeadlessMainLoop loop;
  app::MemoryMainView view;
  app::MemoryTelListView tel;
  app::TfrmTelList telList(tel.View());
  app::TfrmMain form(loop, view.View(), telList, "/opt/talvane/Talvane.exe");
  for (auto _ : state) {
    state.PauseTiming();
    sheet.Restore();
    state.ResumeTiming();
    view.OpenDialog1.ScriptAnswer(sheet.input().string());
    view.BitBtn1.Click();
    benchmark::DoNotOptimize(form.NumberList().Count());
  }
  state.counters["numbers"] = form.NumberList().Count();
}
BENCHMARK(ImportThroughTheWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void CliImportProcess(benchmark::State& state) {
  Sheet sheet;
  const std::string command = std::string(TALVANE_BINARY_DIR) + "/app/cli/talvane-cli import '" +
                              sheet.input().string() + "' >/dev/null 2>&1";
  for (auto _ : state) {
    state.PauseTiming();
    sheet.Restore();
    state.ResumeTiming();
    const int status = std::system(command.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("talvane-cli import failed");
  }
}
BENCHMARK(CliImportProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
