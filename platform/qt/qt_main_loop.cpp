#include "platform/qt/qt_main_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace platform {

namespace {

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

QtMainLoop::QtMainLoop() : receiver_(std::make_unique<QObject>()) {}

QtMainLoop::~QtMainLoop() { Shutdown(); }

void QtMainLoop::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(receiver_.get(), std::move(fn), Qt::QueuedConnection);
}

bool QtMainLoop::InvokeBlocking(std::function<void()> fn) {
  return handOver_.Invoke(std::move(fn), IsMainThread(), [this](std::function<void()> task) { Post(std::move(task)); });
}

void QtMainLoop::ProcessPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtMainLoop::ProcessEventsFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(std::max(milliseconds, 0), &loop, &QEventLoop::quit);
  loop.exec();
}

bool QtMainLoop::IsMainThread() const { return QThread::currentThread() == receiver_->thread(); }

std::unique_ptr<Timer> QtMainLoop::CreateTimer() { return std::make_unique<QtTimer>(); }

void QtMainLoop::Shutdown() { handOver_.Shutdown(); }

bool QtMainLoop::IsShutDown() const { return handOver_.IsShutDown(); }

}  // namespace platform
