// The import of a 65,535-row sheet on the real Qt widgets (offscreen): the
// log's progress line and the counters shown and the window's events
// processed at least every 20 ms, the phone list window filled
// with every number, both saves included. Goal: under 2 s.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/core/phone_import.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_look.h"
#include "app/qt/tel_list_window.h"
#include "app/window/frm_tel_list.h"
#include "app/window/import_display.h"
#include "app/window/test_support.h"
#include "bench/import_bench_sheet.h"
#include "platform/qt/qt_main_loop.h"

namespace {

namespace fs = std::filesystem;

void ImportOnTheQtView(benchmark::State& state) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "import_qt_bench";
  static char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  app::qt::RegisterFonts();
  app::testing::TestEnvironment env;
  const fs::path pristine = env.folder / "wzor.xls";
  const fs::path input = env.folder / "klienci.xls";
  bench::WriteImportSheet(pristine);

  platform::QtMainLoop loop;
  app::qt::MainWindow mainWindow;
  app::qt::TelListWindow telWindow;
  app::TfrmTelList telList(telWindow.View());
  mainWindow.Form().Show();
  int numbers = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(pristine, input, fs::copy_options::overwrite_existing);
    state.ResumeTiming();
    app::TImportDisplay display(mainWindow.View(), [&loop] { loop.ProcessPendingEvents(); });
    const app::TImportResult outcome = app::ImportPhoneNumbers(input.string(), {.excludeDuplicates = true}, &display);
    display.Finish(outcome);
    app::ShowImportCounters(mainWindow.View(), outcome.counters);
    telList.Fill(outcome.numbers.Numbers());
    telList.ShowAt(10, 10);
    QApplication::processEvents();  // the final repaint
    if (!outcome.inputSaved || outcome.resultFile.empty()) state.SkipWithError("a save failed");
    numbers = outcome.numbers.Count();
  }
  state.counters["numbers"] = numbers;
}
BENCHMARK(ImportOnTheQtView)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
