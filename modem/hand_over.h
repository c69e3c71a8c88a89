#pragma once
// The engine's only road to its component: every notification, and every
// read or write of the component's fields, runs on the main thread while the
// engine waits (a synchronous hand-over through the main loop).
//
// The component can cut the road at any time (Sever): a deactivation that
// gives up waiting, the component's destruction. From then on the engine's
// hand-overs throw EngineDetached instead of reaching the component or the
// main loop, so an engine left behind never touches either again.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/main_loop.h"

namespace modem {

class TZoGSM;

// Thrown on the engine thread when its component can no longer be reached
// (severed, or the main loop has shut down). Deliberately not a
// std::exception: the engine's guards for ordinary errors let it pass.
struct EngineDetached {};

class HandOver : public std::enable_shared_from_this<HandOver> {
 public:
  HandOver(platform::MainLoop& loop, TZoGSM& owner) : loop_(loop), owner_(&owner) {}
  HandOver(const HandOver&) = delete;
  HandOver& operator=(const HandOver&) = delete;

  // Engine thread: runs `fn` with the component on the main thread and
  // waits for it. What `fn`
  // throws is thrown here. Throws EngineDetached when severed or when the
  // main loop has shut down.
  void Run(const std::function<void(TZoGSM&)>& fn);

  // Engine thread: queues `fn` for the main thread without waiting (the end
  // notification). Dropped when severed.
  void Post(std::function<void(TZoGSM&)> fn);

  // True once severed or once the main loop has shut down.
  bool Detached();

  // Main thread: cuts the road. Waits (processing events) until a hand-over
  // in flight has returned, unless called from inside one of this engine's
  // own hand-overs.
  void Sever();

  // Main thread: a hand-over of this engine is running right now.
  bool InsideHandOver() const { return depth_ > 0; }

  // Engine thread, as its very last step: the thread function is returning.
  void MarkFinished();
  // Any thread: waits up to `milliseconds` for MarkFinished().
  bool WaitFinished(int milliseconds);

 private:
  platform::MainLoop& loop_;
  TZoGSM* owner_;   // main thread only; null once severed
  int depth_ = 0;   // main thread only: nesting of running hand-overs
  std::atomic<bool> severed_{false};
  std::mutex callMutex_;  // held by the engine while a hand-over is in flight

  std::mutex finishedMutex_;
  std::condition_variable finishedChanged_;
  bool finished_ = false;
};

}  // namespace modem
