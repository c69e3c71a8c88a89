#pragma once
// The blocking hand-over both main loops share (MainLoop::InvokeBlocking): a
// worker hands a call to the main thread through the loop's own queue and
// waits until the main thread has run it, or until the loop shuts down
// before the call started. A call the main thread has started is always
// waited for, so whatever it refers to on the worker's stack stays alive.
//
// Threads: Invoke() from any thread; Shutdown() and IsShutDown() from any
// thread; guarded by the hand-over's own mutex (the state is shared with the
// queued calls, which may outlive the loop).

#include <functional>
#include <memory>

namespace platform {

class BlockingHandOver {
 public:
  BlockingHandOver();

  // Queues a task to run on the main thread (the loop's Post).
  using Queue = std::function<void(std::function<void()> task)>;

  // On the main thread (`onMainThread`) runs `fn` directly; elsewhere queues
  // it with `queue` and waits. False, without running `fn`, once shut down.
  bool Invoke(std::function<void()> fn, bool onMainThread, const Queue& queue);

  // Releases every waiting worker whose call has not started; later calls
  // return false.
  void Shutdown();
  bool IsShutDown() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace platform
