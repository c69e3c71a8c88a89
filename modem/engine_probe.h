#pragma once
// An engine without its thread and without a modem, for the tests and the
// fuzz target of the analysis of received text: the analysis runs on the
// calling thread, which is the main loop's, so every hand-over to the
// component runs at once.
//
// Threads: main thread only (it stands in for the engine thread there).

#include <chrono>
#include <memory>
#include <string>

#include "modem/engine_thread.h"
#include "modem/hand_over.h"
#include "modem/zogsm.h"
#include "platform/headless_main_loop.h"

namespace modem {

struct EngineProbe {
  static void ReceivedText(TZoGSMThread& engine, const std::string& text) { engine.AnalyseReceivedText(text); }
  static void CommandAnswer(TZoGSMThread& engine, const std::string& command, const std::string& answer) {
    engine.AnalyseCommandAnswer(command, answer);
  }
  // As if the last ring had come `seconds` earlier.
  static void AgeLastRing(TZoGSMThread& engine, std::chrono::seconds seconds) { engine.ring_.lastRing -= seconds; }
};

// A component and an engine of its own that never runs its loop. Create it
// on the thread that runs the analysis.
class DetachedEngine {
 public:
  DetachedEngine()
      : handOver_(std::make_shared<HandOver>(loop, gsm)),
        engine_(std::make_unique<TZoGSMThread>(handOver_, std::make_shared<SharedCapabilities>(), "/dev/null",
                                               "115200")) {}
  ~DetachedEngine() {
    engine_.reset();
    handOver_->Sever();
  }
  DetachedEngine(const DetachedEngine&) = delete;
  DetachedEngine& operator=(const DetachedEngine&) = delete;

  TZoGSMThread& Engine() { return *engine_; }
  void Idle(const std::string& text) { EngineProbe::ReceivedText(*engine_, text); }
  void Answer(const std::string& command, const std::string& answer) {
    EngineProbe::CommandAnswer(*engine_, command, answer);
  }

  platform::HeadlessMainLoop loop;
  TZoGSM gsm{loop};

 private:
  std::shared_ptr<HandOver> handOver_;
  std::unique_ptr<TZoGSMThread> engine_;
};

}  // namespace modem
