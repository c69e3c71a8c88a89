#pragma once
// A main loop without a window system: a locked queue of posted work and a
// heap of timers, driven by whoever owns the main thread (tests, talvane-cli).

#include <chrono>
#include <functional>
#include <memory>

#include "platform/main_loop.h"

namespace platform {

class HeadlessMainLoop final : public MainLoop {
 public:
  // The thread that constructs the loop is its main thread.
  HeadlessMainLoop();
  ~HeadlessMainLoop() override;

  void Post(std::function<void()> fn) override;
  bool InvokeBlocking(std::function<void()> fn) override;
  void ProcessPendingEvents() override;
  void ProcessEventsFor(int milliseconds) override;
  bool IsMainThread() const override;
  std::unique_ptr<Timer> CreateTimer() override;
  void Shutdown() override;
  bool IsShutDown() const override;

  // Processes events until `done` returns true or the timeout passes;
  // returns the last value of `done`. `done` is checked after every event.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace platform
