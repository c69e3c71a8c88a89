#pragma once
// The contract of platform::MainLoop (main_loop.h) as one typed test, run
// over every implementation: each test program instantiates it for its loop,
//
//   struct HeadlessLoops { static std::unique_ptr<MainLoop> Make(); };
//   INSTANTIATE_TYPED_TEST_SUITE_P(Headless, MainLoopContract, HeadlessLoops);
//
// where Make() builds a loop whose main thread is the calling one (and
// prepares whatever the loop needs, a Qt application say).

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/main_loop.h"

namespace platform::testing {

using namespace std::chrono_literals;

// Processes events until `done` or the timeout; the last value of `done`.
inline bool PumpUntil(MainLoop& loop, const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    loop.ProcessEventsFor(2);
  }
  return true;
}

template <typename Loops>
class MainLoopContract : public ::testing::Test {
 protected:
  MainLoopContract() : loop_(Loops::Make()) {}
  MainLoop& loop() { return *loop_; }

 private:
  std::unique_ptr<MainLoop> loop_;
};

TYPED_TEST_SUITE_P(MainLoopContract);

TYPED_TEST_P(MainLoopContract, PostedWorkRunsOnTheMainThreadInOrder) {
  MainLoop& loop = this->loop();
  std::vector<int> order;
  std::atomic<bool> allOnMain = true;
  std::thread worker([&] {
    for (int i = 0; i < 5; ++i) {
      loop.Post([&, i] {
        allOnMain = allOnMain && loop.IsMainThread();
        order.push_back(i);
      });
    }
  });
  worker.join();
  EXPECT_TRUE(PumpUntil(loop, [&] { return order.size() == 5; }));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(allOnMain);
}

TYPED_TEST_P(MainLoopContract, PostAndInvokeBlockingRunOnTheMainThreadInOrder) {
  MainLoop& loop = this->loop();
  std::vector<int> order;
  int value = 0;  // written by the main thread, read by the worker after the call
  std::atomic<bool> finished = false;
  std::atomic<bool> onMain = true;
  std::atomic<bool> result = false;
  std::thread worker([&] {
    EXPECT_FALSE(loop.IsMainThread());
    loop.Post([&] { order.push_back(1); });
    result = loop.InvokeBlocking([&] {
      onMain = onMain && loop.IsMainThread();
      order.push_back(2);
      value = 42;
    });
    EXPECT_EQ(value, 42);  // the call has returned before InvokeBlocking does
    finished = true;
  });
  EXPECT_TRUE(PumpUntil(loop, [&] { return finished.load(); }));
  worker.join();
  EXPECT_TRUE(result);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_TRUE(onMain);
}

TYPED_TEST_P(MainLoopContract, InvokeBlockingOnTheMainThreadRunsDirectly) {
  MainLoop& loop = this->loop();
  EXPECT_TRUE(loop.IsMainThread());
  bool ran = false;
  EXPECT_TRUE(loop.InvokeBlocking([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

TYPED_TEST_P(MainLoopContract, ShutdownReleasesAWaitingWorkerWithoutRunningItsCall) {
  MainLoop& loop = this->loop();
  std::atomic<bool> ran = false;
  std::atomic<int> result = -1;
  std::thread worker([&] { result = loop.InvokeBlocking([&] { ran = true; }) ? 1 : 0; });
  // The main thread never processes: the worker waits until the shutdown.
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(result, -1);
  loop.Shutdown();
  worker.join();
  EXPECT_EQ(result, 0);
  loop.ProcessEventsFor(10);  // the cancelled call must not run later either
  EXPECT_FALSE(ran);
  EXPECT_TRUE(loop.IsShutDown());
  EXPECT_FALSE(loop.InvokeBlocking([&] { ran = true; }));  // main thread, after the shutdown
  std::thread late([&] { EXPECT_FALSE(loop.InvokeBlocking([&] { ran = true; })); });
  late.join();
  EXPECT_FALSE(ran);
}

TYPED_TEST_P(MainLoopContract, TimerTicksRepeatedlyUntilStopped) {
  MainLoop& loop = this->loop();
  auto timer = loop.CreateTimer();
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  timer->SetInterval(10);
  EXPECT_EQ(timer->Interval(), 10);
  EXPECT_FALSE(timer->Enabled());
  loop.ProcessEventsFor(50);
  EXPECT_EQ(ticks, 0);  // not started
  timer->Start();
  EXPECT_TRUE(timer->Enabled());
  EXPECT_TRUE(PumpUntil(loop, [&] { return ticks >= 3; }));
  timer->Stop();
  const int stoppedAt = ticks;
  loop.ProcessEventsFor(50);
  EXPECT_EQ(ticks, stoppedAt);
}

TYPED_TEST_P(MainLoopContract, ATimerWithoutIntervalNeverTicks) {
  MainLoop& loop = this->loop();
  auto timer = loop.CreateTimer();
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  timer->SetInterval(0);
  timer->Start();
  loop.ProcessEventsFor(30);
  EXPECT_EQ(ticks, 0);
  timer->SetInterval(5);  // an interval set later starts it
  EXPECT_TRUE(PumpUntil(loop, [&] { return ticks >= 3; }));
}

TYPED_TEST_P(MainLoopContract, ChangingTheIntervalRestartsThePeriod) {
  MainLoop& loop = this->loop();
  auto timer = loop.CreateTimer();
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  timer->SetInterval(2000);
  timer->Start();
  // Re-setting the interval every 30 ms keeps pushing the tick away, past
  // the 2 s the first period alone would have taken.
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < 2500ms) {
    loop.ProcessEventsFor(30);
    timer->SetInterval(2000);
  }
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(PumpUntil(loop, [&] { return ticks == 1; }, 10s));
}

TYPED_TEST_P(MainLoopContract, ATimerMayDestroyItselfInItsHandler) {
  MainLoop& loop = this->loop();
  std::unique_ptr<Timer> timer = loop.CreateTimer();
  auto other = loop.CreateTimer();
  int ticks = 0;
  int otherTicks = 0;
  timer->OnTimer = [&] {
    ++ticks;
    timer.reset();
  };
  other->OnTimer = [&] { ++otherTicks; };
  timer->SetInterval(5);
  other->SetInterval(5);
  timer->Start();
  other->Start();
  EXPECT_TRUE(PumpUntil(loop, [&] { return otherTicks >= 3; }));
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(timer, nullptr);
}

TYPED_TEST_P(MainLoopContract, ProcessEventsForTakesTheWholeTime) {
  MainLoop& loop = this->loop();
  const auto start = std::chrono::steady_clock::now();
  loop.ProcessEventsFor(50);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);  // Qt timers may fire a little early
}

REGISTER_TYPED_TEST_SUITE_P(MainLoopContract, PostedWorkRunsOnTheMainThreadInOrder,
                            PostAndInvokeBlockingRunOnTheMainThreadInOrder, InvokeBlockingOnTheMainThreadRunsDirectly,
                            ShutdownReleasesAWaitingWorkerWithoutRunningItsCall, TimerTicksRepeatedlyUntilStopped,
                            ATimerWithoutIntervalNeverTicks, ChangingTheIntervalRestartsThePeriod,
                            ATimerMayDestroyItselfInItsHandler, ProcessEventsForTakesTheWholeTime);

}  // namespace platform::testing
