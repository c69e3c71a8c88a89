// Starting and stopping the engine thread, and what happens when it ends.

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "modem/engine_thread.h"
#include "modem/engine_timing.h"
#include "modem/hand_over.h"
#include "modem/modem_search.h"
#include "modem/reference_store.h"
#include "modem/zogsm.h"

namespace modem {

void TZoGSM::SetActive(bool value) {
  if (value) {
    StartEngine();
  } else {
    StopEngine();
    userDisconnect_ = false;
  }
}

void TZoGSM::StartEngine() {
  if (engine_) return;
  // An engine abandoned a moment ago may still hold the port. From inside
  // one of its hand-overs it cannot end before we return, so do not wait then.
  const bool insideRetired = std::any_of(retiredEngines_.begin(), retiredEngines_.end(),
                                         [](const RetiredEngine& r) { return r.handOver->InsideHandOver(); });
  JoinRetiredEngines(insideRetired ? 0 : timing::Scaled(timing::kAbandonedEngineWait));
  if (std::filesystem::exists(std::filesystem::path(appDir_) / kReferenceFileName)) {
    refNum_ = LoadReference(appDir_, settings_.InstanceName, refNum_);
  }
  auto handOver = std::make_shared<HandOver>(loop_, *this);
  auto engine = std::make_shared<TZoGSMThread>(handOver, capabilities_, settings_.ComPort, settings_.BaudRate);
  engine_ = engine;
  handOver_ = handOver;
  active_ = true;
  try {
    DoGSMActivate();
  } catch (...) {
    if (engine_ == engine) {
      engine_.reset();
      handOver_.reset();
      active_ = false;
    }
    throw;
  }
  if (engine_ != engine) return;  // the handler deactivated the component again
  errorText_ = "OK";
  engine->SetConnectCommand(TZoGSMThread::kNoRequest);
  engine->SetAboutToSubmit(OnAboutToSubmit);
  engineThread_ = std::thread([engine, handOver] {
    engine->Execute();
    handOver->Post([ended = engine.get()](TZoGSM& component) {
      if (component.engine_.get() != ended) return;
      if (component.engineThread_.joinable()) component.engineThread_.join();
      component.ThreadTerminated();
    });
    handOver->MarkFinished();
  });
}

void TZoGSM::StopEngine() {
  if (!engine_) return;
  const std::shared_ptr<TZoGSMThread> engine = engine_;
  if (!engineThread_.joinable()) {  // deactivated before its thread started
    ThreadTerminated();
    return;
  }
  engine->RequestStop();
  const std::shared_ptr<HandOver> handOver = handOver_;
  // Called from inside one of the engine's own hand-overs, the wait could
  // only run out: the engine waits for this very call to return.
  if (!handOver->InsideHandOver()) {
    for (int round = 0; round < timing::kStopRounds && engine_ == engine && !handOver->WaitFinished(0); ++round) {
      loop_.ProcessEventsFor(timing::Scaled(timing::kStopRoundMs));
    }
  }
  if (engine_ != engine) return;  // it ended and ThreadTerminated has run
  if (handOver->WaitFinished(0)) {
    // It ended, but its end notification has not run (or cannot: the main
    // loop has shut down).
    engineThread_.join();
    ThreadTerminated();
    return;
  }
  AbandonEngine();
  connected_ = false;
  ThreadTerminated();
}

void TZoGSM::AbandonEngine() {
  engine_->RequestStop();
  handOver_->Sever();
  retiredEngines_.push_back({std::move(engineThread_), handOver_});
}

void TZoGSM::ThreadTerminated() {
  engine_.reset();
  handOver_.reset();
  active_ = false;
  search_->EngineEnded();
  DoGSMDeActivate();
}

void TZoGSM::JoinRetiredEngines(int milliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (auto it = retiredEngines_.begin(); it != retiredEngines_.end();) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (it->handOver->WaitFinished(static_cast<int>(std::max<long long>(left.count(), 0)))) {
      it->thread.join();
      it = retiredEngines_.erase(it);
    } else {
      ++it;
    }
  }
}

TZoGSM::~TZoGSM() {
  reconnectTimer_->Stop();
  pollTimer_->Stop();
  if (engine_) {
    if (engineThread_.joinable()) {
      AbandonEngine();
    }
    engine_.reset();
    handOver_.reset();
  }
  JoinRetiredEngines(timing::Scaled(timing::kStopRounds * timing::kStopRoundMs));
  // An engine still blocked in a long read ends on its own; it holds nothing of ours.
  for (RetiredEngine& retired : retiredEngines_) retired.thread.detach();
}

}  // namespace modem
