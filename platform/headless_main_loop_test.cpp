#include "platform/headless_main_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace platform {
namespace {

using namespace std::chrono_literals;

TEST(HeadlessMainLoop, PostedWorkRunsOnTheMainThreadInOrder) {
  HeadlessMainLoop loop;
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
  EXPECT_FALSE(loop.RunUntil([] { return false; }, 0ms));  // one round, nothing done
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(allOnMain);
}

TEST(HeadlessMainLoop, WorkPostedWhileProcessingWaitsForTheNextRound) {
  HeadlessMainLoop loop;
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    loop.Post(again);
  };
  loop.Post(again);
  loop.ProcessPendingEvents();
  EXPECT_EQ(runs, 1);
  loop.ProcessPendingEvents();
  EXPECT_EQ(runs, 2);
}

TEST(HeadlessMainLoop, InvokeBlockingRunsOnTheMainThreadAndWaits) {
  HeadlessMainLoop loop;
  int value = 0;  // written by the main thread, read by the worker after the call
  std::atomic<bool> result = false;
  std::atomic<bool> finished = false;
  std::thread worker([&] {
    result = loop.InvokeBlocking([&] {
      EXPECT_TRUE(loop.IsMainThread());
      value = 42;
    });
    EXPECT_EQ(value, 42);
    finished = true;
  });
  EXPECT_TRUE(loop.RunUntil([&] { return finished.load(); }, 5s));
  worker.join();
  EXPECT_TRUE(result);
}

TEST(HeadlessMainLoop, InvokeBlockingOnTheMainThreadRunsDirectly) {
  HeadlessMainLoop loop;
  bool ran = false;
  EXPECT_TRUE(loop.InvokeBlocking([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

TEST(HeadlessMainLoop, ShutdownReleasesAWaitingWorkerWithoutRunningItsCall) {
  HeadlessMainLoop loop;
  std::atomic<bool> ran = false;
  std::atomic<int> result = -1;
  std::thread worker([&] { result = loop.InvokeBlocking([&] { ran = true; }) ? 1 : 0; });
  // The main thread never processes: the worker waits until the shutdown.
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(result, -1);
  loop.Shutdown();
  worker.join();
  EXPECT_EQ(result, 0);
  loop.ProcessPendingEvents();  // the cancelled call must not run later either
  EXPECT_FALSE(ran);
  EXPECT_TRUE(loop.IsShutDown());
  EXPECT_FALSE(loop.InvokeBlocking([&] { ran = true; }));  // main thread, after the shutdown
  std::thread late([&] { EXPECT_FALSE(loop.InvokeBlocking([&] { ran = true; })); });
  late.join();
  EXPECT_FALSE(ran);
}

TEST(HeadlessMainLoop, ShutdownRacingManyWorkersNeverDeadlocksOrRunsACancelledCall) {
  for (int round = 0; round < 20; ++round) {
    HeadlessMainLoop loop;
    std::atomic<int> ran = 0;
    std::atomic<int> succeeded = 0;
    std::atomic<int> stopped = 0;
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
      workers.emplace_back([&] {
        while (loop.InvokeBlocking([&] { ++ran; })) ++succeeded;
        ++stopped;
      });
    }
    loop.RunUntil([&] { return ran.load() >= 10 * (round + 1); }, 5s);
    loop.Shutdown();
    loop.ProcessPendingEvents();
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(stopped, 4);
    EXPECT_EQ(ran.load(), succeeded.load());  // a call ran exactly when it reported true
  }
}

TEST(HeadlessMainLoop, TimerTicksRepeatedlyUntilStopped) {
  HeadlessMainLoop loop;
  auto timer = loop.CreateTimer();
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  timer->SetInterval(10);
  EXPECT_EQ(timer->Interval(), 10);
  EXPECT_FALSE(timer->Enabled());
  loop.ProcessEventsFor(50);
  EXPECT_EQ(ticks, 0);  // not started
  timer->Start();
  EXPECT_TRUE(loop.RunUntil([&] { return ticks >= 3; }, 5s));
  timer->Stop();
  const int stoppedAt = ticks;
  loop.ProcessEventsFor(50);
  EXPECT_EQ(ticks, stoppedAt);
}

TEST(HeadlessMainLoop, ChangingTheIntervalRestartsThePeriod) {
  HeadlessMainLoop loop;
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
  EXPECT_TRUE(loop.RunUntil([&] { return ticks == 1; }, 10s));
}

TEST(HeadlessMainLoop, ATimerWithoutIntervalNeverTicks) {
  HeadlessMainLoop loop;
  auto timer = loop.CreateTimer();
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  timer->SetInterval(0);
  timer->Start();
  loop.ProcessEventsFor(30);
  EXPECT_EQ(ticks, 0);
}

TEST(HeadlessMainLoop, ATimerMayDestroyItselfInItsHandler) {
  HeadlessMainLoop loop;
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
  EXPECT_TRUE(loop.RunUntil([&] { return otherTicks >= 3; }, 5s));
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(timer, nullptr);
}

TEST(HeadlessMainLoop, ProcessEventsForWaitsTheWholeTimeAndWakesForPostedWork) {
  HeadlessMainLoop loop;
  std::atomic<bool> waiting = false;
  std::atomic<bool> ran = false;
  // The worker posts only once the main thread is about to wait, so the post
  // lands inside the wait however late the worker gets to run.
  std::thread worker([&] {
    while (!waiting) std::this_thread::yield();
    std::this_thread::sleep_for(20ms);
    loop.Post([&] { ran = true; });
  });
  const auto start = std::chrono::steady_clock::now();
  waiting = true;
  loop.ProcessEventsFor(500);
  const auto waited = std::chrono::steady_clock::now() - start;
  worker.join();
  EXPECT_TRUE(ran);
  EXPECT_GE(waited, 500ms);
}

TEST(HeadlessMainLoop, RunUntilGivesUpAtTheTimeout) {
  HeadlessMainLoop loop;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(loop.RunUntil([] { return false; }, 30ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
  EXPECT_TRUE(loop.RunUntil([] { return true; }, 0ms));
}

TEST(HeadlessMainLoop, TimersOutliveTheirLoopSafely) {
  std::unique_ptr<Timer> timer;
  {
    HeadlessMainLoop loop;
    timer = loop.CreateTimer();
    timer->SetInterval(10);
    timer->Start();
  }
  timer->Stop();
  timer.reset();
}

}  // namespace
}  // namespace platform
