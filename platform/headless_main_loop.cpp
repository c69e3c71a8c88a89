#include "platform/headless_main_loop.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/blocking_hand_over.h"

namespace platform {

using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kRunUntilSlice = std::chrono::milliseconds(2);

// Posted work, and the tasks of blocking invocations (BlockingHandOver).
using Work = std::function<void()>;

class HeadlessTimer;

struct LoopState {
  std::thread::id mainThread = std::this_thread::get_id();
  mutable std::mutex mutex;
  std::condition_variable wakeMain;  // new work for the main thread
  std::deque<Work> queue;
  std::multimap<Clock::time_point, HeadlessTimer*> timers;  // enabled timers by due time
  BlockingHandOver handOver;

  // Runs what is due now; stops early when `done` turns true. Main thread.
  bool ProcessDue(const std::function<bool()>* done);
  // Waits until work is posted or `until` comes, whichever is first.
  void WaitForWork(Clock::time_point until);
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
    work();
    if (isDone()) return true;
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
    state_->queue.push_back(std::move(fn));
  }
  state_->wakeMain.notify_all();
}

bool HeadlessMainLoop::InvokeBlocking(std::function<void()> fn) {
  return state_->handOver.Invoke(std::move(fn), IsMainThread(), [this](Work task) { Post(std::move(task)); });
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
  state_->handOver.Shutdown();
  state_->wakeMain.notify_all();
}

bool HeadlessMainLoop::IsShutDown() const { return state_->handOver.IsShutDown(); }

}  // namespace platform
