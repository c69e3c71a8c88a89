#include "platform/headless_main_loop.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace platform {

using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kRunUntilSlice = std::chrono::milliseconds(2);

// One InvokeBlocking() call in flight. The worker waits until the main thread
// has run the function, or until the loop shuts down before it started.
struct BlockingCall {
  std::function<void()> fn;
  bool started = false;
  bool finished = false;
  bool cancelled = false;
};

struct Work {
  std::function<void()> fn;            // posted work
  std::shared_ptr<BlockingCall> call;  // or a blocking invocation
};

class HeadlessTimer;

struct LoopState {
  std::thread::id mainThread = std::this_thread::get_id();
  mutable std::mutex mutex;
  std::condition_variable wakeMain;     // new work for the main thread
  std::condition_variable callsChange;  // a blocking call finished or was cancelled
  std::deque<Work> queue;
  std::multimap<Clock::time_point, HeadlessTimer*> timers;  // enabled timers by due time
  bool shutDown = false;

  // Runs what is due now; stops early when `done` turns true. Main thread.
  bool ProcessDue(const std::function<bool()>* done);
  // Waits until work is posted or `until` comes, whichever is first.
  void WaitForWork(Clock::time_point until);
  bool RunWork(Work& work);
  bool FireTimer(Clock::time_point now);
};

class HeadlessTimer final : public Timer {
 public:
  explicit HeadlessTimer(std::shared_ptr<LoopState> state) : state_(std::move(state)) {}
  ~HeadlessTimer() override {
    std::lock_guard lock(state_->mutex);
    Unschedule();
  }

  void SetInterval(int milliseconds) override {
    std::lock_guard lock(state_->mutex);
    interval_ = milliseconds;
    Reschedule(Clock::now());
  }
  int Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override {
    std::lock_guard lock(state_->mutex);
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Reschedule(Clock::now());
  }
  bool Enabled() const override { return enabled_; }

  // With the state's mutex held: puts the timer at `from` + interval, or takes
  // it out when it is disabled or has no interval (a window timer of 0 ms
  // never fires).
  void Reschedule(Clock::time_point from) {
    Unschedule();
    if (!enabled_ || interval_ <= 0) return;
    slot_ = state_->timers.emplace(from + std::chrono::milliseconds(interval_), this);
    scheduled_ = true;
  }

 private:
  void Unschedule() {
    if (scheduled_) state_->timers.erase(slot_);
    scheduled_ = false;
  }

  std::shared_ptr<LoopState> state_;
  int interval_ = 1000;
  bool enabled_ = false;
  bool scheduled_ = false;
  std::multimap<Clock::time_point, HeadlessTimer*>::iterator slot_;
};

}  // namespace

struct HeadlessMainLoop::State : LoopState {};

bool LoopState::RunWork(Work& work) {
  if (!work.call) {
    work.fn();
    return true;
  }
  {
    std::lock_guard lock(mutex);
    // After Shutdown() a call that has not started never runs.
    if (work.call->cancelled || shutDown) {
      work.call->cancelled = true;
      return false;
    }
    work.call->started = true;
  }
  // The worker stays blocked until `finished`, so whatever fn refers to on
  // its stack is alive while fn runs.
  work.call->fn();
  {
    std::lock_guard lock(mutex);
    work.call->finished = true;
  }
  callsChange.notify_all();
  return true;
}

bool LoopState::FireTimer(Clock::time_point now) {
  std::function<void()> onTimer;
  {
    std::lock_guard lock(mutex);
    if (timers.empty() || timers.begin()->first > now) return false;
    HeadlessTimer* timer = timers.begin()->second;
    timer->Reschedule(now);  // the next period counts from this tick
    onTimer = timer->OnTimer;  // a copy: the handler may destroy its timer
  }
  if (onTimer) onTimer();
  return true;
}

bool LoopState::ProcessDue(const std::function<bool()>* done) {
  auto isDone = [done] { return done && (*done)(); };
  // Only the work queued when we start: work that posts itself again waits
  // for the next round instead of starving the timers.
  size_t count;
  {
    std::lock_guard lock(mutex);
    count = queue.size();
  }
  for (size_t i = 0; i < count; ++i) {
    Work work;
    {
      std::lock_guard lock(mutex);
      if (queue.empty()) break;
      work = std::move(queue.front());
      queue.pop_front();
    }
    if (RunWork(work) && isDone()) return true;
  }
  // Each timer that is due fires once per round.
  const Clock::time_point now = Clock::now();
  while (FireTimer(now)) {
    if (isDone()) return true;
  }
  return isDone();
}

void LoopState::WaitForWork(Clock::time_point until) {
  std::unique_lock lock(mutex);
  if (!timers.empty()) until = std::min(until, timers.begin()->first);
  wakeMain.wait_until(lock, until, [this] { return !queue.empty(); });
}

HeadlessMainLoop::HeadlessMainLoop() : state_(std::make_shared<State>()) {}

HeadlessMainLoop::~HeadlessMainLoop() { Shutdown(); }

void HeadlessMainLoop::Post(std::function<void()> fn) {
  {
    std::lock_guard lock(state_->mutex);
    state_->queue.push_back(Work{std::move(fn), nullptr});
  }
  state_->wakeMain.notify_all();
}

bool HeadlessMainLoop::InvokeBlocking(std::function<void()> fn) {
  if (IsMainThread()) {
    if (IsShutDown()) return false;
    fn();
    return true;
  }
  auto call = std::make_shared<BlockingCall>();
  call->fn = std::move(fn);
  std::unique_lock lock(state_->mutex);
  if (state_->shutDown) return false;
  state_->queue.push_back(Work{nullptr, call});
  state_->wakeMain.notify_all();
  // A call the main thread has started is always waited for; one it has not
  // started is given up when the loop shuts down.
  state_->callsChange.wait(lock, [&] { return call->finished || (state_->shutDown && !call->started); });
  if (call->finished) return true;
  call->cancelled = true;
  return false;
}

void HeadlessMainLoop::ProcessPendingEvents() { state_->ProcessDue(nullptr); }

void HeadlessMainLoop::ProcessEventsFor(int milliseconds) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
  for (;;) {
    state_->ProcessDue(nullptr);
    if (Clock::now() >= deadline) return;
    state_->WaitForWork(deadline);
  }
}

bool HeadlessMainLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  if (done()) return true;
  for (;;) {
    if (state_->ProcessDue(&done)) return true;
    const auto now = Clock::now();
    if (now >= deadline) return false;
    // `done` may turn true through another thread without posting anything:
    // look at it again every few milliseconds.
    state_->WaitForWork(std::min(deadline, now + kRunUntilSlice));
  }
}

bool HeadlessMainLoop::IsMainThread() const { return std::this_thread::get_id() == state_->mainThread; }

std::unique_ptr<Timer> HeadlessMainLoop::CreateTimer() { return std::make_unique<HeadlessTimer>(state_); }

void HeadlessMainLoop::Shutdown() {
  {
    std::lock_guard lock(state_->mutex);
    state_->shutDown = true;
  }
  state_->callsChange.notify_all();
  state_->wakeMain.notify_all();
}

bool HeadlessMainLoop::IsShutDown() const {
  std::lock_guard lock(state_->mutex);
  return state_->shutDown;
}

}  // namespace platform
