#pragma once
// The only door to the main thread.
//
// Every window, component setter, timer tick and event handler runs on the
// main thread. Worker threads (the modem engine) reach it only through
// Post() and InvokeBlocking(). Two implementations exist: HeadlessMainLoop
// (tests, talvane-cli) and the Qt one in platform/qt.

#include <functional>
#include <memory>

namespace platform {

// A repeating timer on the main thread. A tick runs OnTimer(); changing the
// interval of an enabled timer restarts its period, as a window timer does.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  void Start() { SetEnabled(true); }
  void Stop() { SetEnabled(false); }

  std::function<void()> OnTimer;
  int Tag = 0;  // free slot for the owner (the reconnect tick counts attempts in it)
};

class MainLoop {
 public:
  virtual ~MainLoop() = default;

  // Queues fn to run on the main thread. Safe from any thread.
  virtual void Post(std::function<void()> fn) = 0;

  // Runs fn on the main thread and waits until it has returned. On the main
  // thread fn runs directly. Returns false, without running fn, when the loop
  // has been shut down (so a stopping worker never waits forever).
  virtual bool InvokeBlocking(std::function<void()> fn) = 0;

  // Runs everything that is due now (posted work, blocking invocations,
  // expired timers) and returns. Main thread only.
  virtual void ProcessPendingEvents() = 0;

  // Keeps processing events until `milliseconds` have passed: the pumping
  // delay used while the main thread waits for a worker. Main thread only.
  virtual void ProcessEventsFor(int milliseconds) = 0;

  virtual bool IsMainThread() const = 0;

  virtual std::unique_ptr<Timer> CreateTimer() = 0;

  // Ends the loop: pending and later InvokeBlocking() calls return false.
  virtual void Shutdown() = 0;
  virtual bool IsShutDown() const = 0;
};

}  // namespace platform
