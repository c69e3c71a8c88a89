// Message submission against the simulated modem on a pseudo-terminal.
//
// BM_EngineTimePerPart: the time the engine adds to one message part beyond
// the modem's own answer. Goal: under 5 ms. Per part, from the simulated
// modem's clock and the main thread's:
//   engine time = (PDU received - prompt sent)     the turnaround at the prompt
//               + (OnAfterSend - answer sent)      reading the answer, judging it,
//                                                  logging and reporting it
// A whole answer is judged at once; no wait for more data is left in it.
//
// BM_PartsPerMinute: the engine's real waits, a modem whose network answers
// every submission after 1 s. Goal: at least 20 parts a minute.

#include <benchmark/benchmark.h>

#include <chrono>
#include <mutex>

#include "bench/sending_rig.h"
#include "modem/engine_timing.h"
#include "modem/text_lines.h"

namespace {

using Clock = std::chrono::steady_clock;

// When the simulated modem sent the prompt, received the PDU and sent its answer.
struct ModemClock {
  std::mutex mutex;
  Clock::time_point prompt, pdu, answer;

  void Note(const std::string& line) {
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(mutex);
    if (modem::StartsWith(line, "TX \\r\\n> ")) prompt = now;
    if (modem::StartsWith(line, "PDU ")) pdu = now;
    if (modem::StartsWith(line, "TX \\r\\n+CMGS:")) answer = now;
  }
};

void BM_EngineTimePerPart(benchmark::State& state) {
  // Short waits, but none for the modem's answers so short that a busy
  // machine misses one.
  modem::timing::SetScale(0.01);
  modem::timing::SetModemWaitFloor(500);

  bench::SendingRig rig;
  ModemClock modemClock;
  if (!rig.sim.Start()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  rig.sim.SetLog([&](const std::string& line) { modemClock.Note(line); });
  if (!rig.Connect(std::chrono::seconds(30))) state.SkipWithError("no connection");
  double worst = 0;
  for (auto _ : state) {
    if (!rig.Send("Benchmark part", 1, std::chrono::seconds(30))) {
      state.SkipWithError("no report");
      break;
    }
    std::lock_guard lock(modemClock.mutex);
    const double atPrompt = std::chrono::duration<double>(modemClock.pdu - modemClock.prompt).count();
    const double afterAnswer = std::chrono::duration<double>(rig.lastReport - modemClock.answer).count();
    state.SetIterationTime(atPrompt + afterAnswer);
    worst = std::max(worst, atPrompt + afterAnswer);
  }
  state.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(BM_EngineTimePerPart)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_PartsPerMinute(benchmark::State& state) {
  constexpr int kNetworkAnswerMs = 1000;
  constexpr int kParts = 6;
  modem::timing::SetScale(1.0);
  modem::timing::SetModemWaitFloor(0);
  bench::SendingRig rig;
  if (!rig.sim.Start()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  rig.sim.SetFault("AT+CMGS", {modemsim::FaultKind::Delay, 0, kNetworkAnswerMs, -1});
  if (!rig.Connect(std::chrono::seconds(60))) state.SkipWithError("no connection");
  // 6 parts of 153 characters.
  std::string text;
  for (int i = 0; i < 153 * kParts; ++i) text += static_cast<char>('a' + i % 26);
  double partsPerMinute = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    if (!rig.Send(text, kParts, std::chrono::seconds(300))) {
      state.SkipWithError("no reports");
      break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds / kParts);
    partsPerMinute = kParts * 60.0 / seconds;
  }
  state.counters["parts_per_minute"] = partsPerMinute;
  state.counters["network_answer_ms"] = kNetworkAnswerMs;
}
BENCHMARK(BM_PartsPerMinute)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
