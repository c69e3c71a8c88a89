#include "platform/blocking_hand_over.h"

#include <condition_variable>
#include <mutex>

namespace platform {

struct BlockingHandOver::State {
  mutable std::mutex mutex;
  std::condition_variable changed;  // a call finished, or the loop shut down
  bool shutDown = false;
};

namespace {

struct Call {
  std::function<void()> fn;
  bool started = false;
  bool finished = false;
};

}  // namespace

BlockingHandOver::BlockingHandOver() : state_(std::make_shared<State>()) {}

bool BlockingHandOver::Invoke(std::function<void()> fn, bool onMainThread, const Queue& queue) {
  if (onMainThread) {
    if (IsShutDown()) return false;
    fn();
    return true;
  }
  auto call = std::make_shared<Call>();
  call->fn = std::move(fn);
  std::shared_ptr<State> state = state_;
  if (IsShutDown()) return false;
  queue([call, state] {
    {
      std::lock_guard lock(state->mutex);
      if (state->shutDown) return;  // the worker has given up on it
      call->started = true;
    }
    call->fn();
    {
      std::lock_guard lock(state->mutex);
      call->finished = true;
    }
    state->changed.notify_all();
  });
  std::unique_lock lock(state->mutex);
  state->changed.wait(lock, [&] { return call->finished || (state->shutDown && !call->started); });
  return call->finished;
}

void BlockingHandOver::Shutdown() {
  {
    std::lock_guard lock(state_->mutex);
    state_->shutDown = true;
  }
  state_->changed.notify_all();
}

bool BlockingHandOver::IsShutDown() const {
  std::lock_guard lock(state_->mutex);
  return state_->shutDown;
}

}  // namespace platform
