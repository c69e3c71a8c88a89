#include "platform/headless_main_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/main_loop_contract.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

// The contract every main loop keeps (platform/main_loop_contract.h) is
// instantiated for this loop at the end of the file.
struct HeadlessLoops {
  static std::unique_ptr<MainLoop> Make() { return std::make_unique<HeadlessMainLoop>(); }
};

// What the headless loop adds: RunUntil, and the details of its own queue.

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

namespace testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, MainLoopContract, HeadlessLoops);
}  // namespace testing
}  // namespace platform
