// Message parts per minute of a whole campaign: `talvane-cli campaign` sends a
// two-part text to three numbers through talvane-modemsim, whose network
// answers every submission one second late. Goal: at least 20 parts per
// minute (the modem's second per part allows at most 60).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <regex>

#include "platform/test_folder.h"
#include "tests/cli_programs.h"

namespace {

// The parts reported in the JSON lines of the campaign's output.
int PartsReported(const std::string& output) {
  static const std::regex parts(R"re("status":"sent","parts":(\d+))re");
  int total = 0;
  for (auto it = std::sregex_iterator(output.begin(), output.end(), parts); it != std::sregex_iterator(); ++it) {
    total += std::stoi((*it)[1].str());
  }
  return total;
}

void BM_CampaignPartsPerMinute(benchmark::State& state) {
  platform::TestFolder folder;
  e2e::SimulatorProcess simulator({"--quiet", "--fault", "delay:1000", "AT+CMGS"});
  if (simulator.Port().empty()) {
    state.SkipWithError("no simulated modem");
    return;
  }
  const std::string text(200, 'x');  // two parts
  int parts = 0;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const e2e::Result run = e2e::RunProgram({e2e::kCli, "campaign", "--port", simulator.Port(), "--result",
                                             (folder / "bench_out.xls").string(), "--numbers",
                                             "600100200,600100201,600100202", text});
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (run.status != 0) {
      state.SkipWithError(("campaign failed: " + run.out).c_str());
      return;
    }
    parts += PartsReported(run.out);
    seconds += elapsed;
    state.SetIterationTime(elapsed);
  }
  state.counters["parts"] = parts;
  state.counters["parts_per_minute"] = seconds > 0 ? parts * 60.0 / seconds : 0;
}
BENCHMARK(BM_CampaignPartsPerMinute)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
