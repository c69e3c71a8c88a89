#include "platform/qt/qt_main_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <condition_variable>

namespace platform {

// The blocking invocations: a worker waits until the main thread has run its
// call, or until the loop shuts down before the call started.
struct QtMainLoop::Calls {
  std::mutex mutex;
  std::condition_variable changed;
  bool shutDown = false;
};

namespace {

struct BlockingCall {
  std::function<void()> fn;
  bool started = false;
  bool finished = false;
};

class QtTimer final : public Timer {
 public:
  QtTimer() {
    timer_.setInterval(interval_);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const std::function<void()> onTimer = OnTimer;  // a copy: the handler may destroy its timer
      if (onTimer) onTimer();
    });
  }
  void SetInterval(int milliseconds) override {
    interval_ = milliseconds;
    Apply();
  }
  int Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Apply();
  }
  bool Enabled() const override { return enabled_; }

 private:
  // Runs the QTimer when enabled with an interval (a window timer of 0 ms
  // never fires); starting it again restarts the period.
  void Apply() {
    if (enabled_ && interval_ > 0) {
      timer_.start(interval_);
    } else {
      timer_.stop();
    }
  }

  QTimer timer_;
  int interval_ = 1000;
  bool enabled_ = false;
};

}  // namespace

QtMainLoop::QtMainLoop() : receiver_(std::make_unique<QObject>()), calls_(std::make_shared<Calls>()) {}

QtMainLoop::~QtMainLoop() { Shutdown(); }

void QtMainLoop::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(receiver_.get(), std::move(fn), Qt::QueuedConnection);
}

bool QtMainLoop::InvokeBlocking(std::function<void()> fn) {
  if (IsMainThread()) {
    if (IsShutDown()) return false;
    fn();
    return true;
  }
  auto call = std::make_shared<BlockingCall>();
  call->fn = std::move(fn);
  std::shared_ptr<Calls> calls = calls_;
  std::unique_lock lock(calls->mutex);
  if (calls->shutDown) return false;
  QMetaObject::invokeMethod(
      receiver_.get(),
      [call, calls] {
        {
          std::lock_guard guard(calls->mutex);
          if (calls->shutDown) return;  // the worker has given up on it
          call->started = true;
        }
        call->fn();
        {
          std::lock_guard guard(calls->mutex);
          call->finished = true;
        }
        calls->changed.notify_all();
      },
      Qt::QueuedConnection);
  calls->changed.wait(lock, [&] { return call->finished || (calls->shutDown && !call->started); });
  return call->finished;
}

void QtMainLoop::ProcessPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtMainLoop::ProcessEventsFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(std::max(milliseconds, 0), &loop, &QEventLoop::quit);
  loop.exec();
}

bool QtMainLoop::IsMainThread() const { return QThread::currentThread() == receiver_->thread(); }

std::unique_ptr<Timer> QtMainLoop::CreateTimer() { return std::make_unique<QtTimer>(); }

void QtMainLoop::Shutdown() {
  {
    std::lock_guard lock(calls_->mutex);
    calls_->shutDown = true;
  }
  calls_->changed.notify_all();
}

bool QtMainLoop::IsShutDown() const {
  std::lock_guard lock(calls_->mutex);
  return calls_->shutDown;
}

}  // namespace platform
