#pragma once
// The main loop on Qt's event loop: posted work and blocking invocations are
// queued calls to an object of the main thread, timers are QTimers, and
// pumping is QCoreApplication::processEvents. Construct it on the main thread
// after the QApplication.

#include <memory>

#include <QObject>

#include "platform/blocking_hand_over.h"
#include "platform/main_loop.h"

namespace platform {

class QtMainLoop final : public MainLoop {
 public:
  QtMainLoop();
  ~QtMainLoop() override;

  void Post(std::function<void()> fn) override;
  bool InvokeBlocking(std::function<void()> fn) override;
  void ProcessPendingEvents() override;
  void ProcessEventsFor(int milliseconds) override;
  bool IsMainThread() const override;
  std::unique_ptr<Timer> CreateTimer() override;
  void Shutdown() override;
  bool IsShutDown() const override;

 private:
  std::unique_ptr<QObject> receiver_;  // lives on the main thread; queued calls go to it
  BlockingHandOver handOver_;
};

}  // namespace platform
