#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/box_from_worker.h"
#include "platform/headless_main_loop.h"
#include "platform/recording_dialogs.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

TEST(Dialogs, ABoxRaisedOnAWorkerIsShownOnTheMainThread) {
  HeadlessMainLoop loop;
  RecordingDialogs recording;
  recording.ScriptAnswers({DialogResult::No});
  InstallDialogs(&recording, &loop);
  testing::BoxFromWorker box("PDU ERROR (length): 0011");
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(box.Finished());  // it waits for the main thread
  EXPECT_TRUE(recording.Boxes().empty());
  EXPECT_EQ(box.AnswerAfterPumping(loop), DialogResult::No);  // the main thread's answer reaches the worker
  ASSERT_EQ(recording.Boxes().size(), 1u);
  EXPECT_EQ(recording.Boxes()[0].text, "PDU ERROR (length): 0011");
  EXPECT_EQ(recording.Boxes()[0].thread, std::this_thread::get_id());

  // On the main thread the box is shown at once.
  CurrentDialogs().ShowMessage("x", "Talvane", DialogIcon::None, DialogButtons::Ok);
  ASSERT_EQ(recording.Boxes().size(), 2u);
  EXPECT_EQ(recording.Boxes()[1].thread, std::this_thread::get_id());
  InstallDialogs(nullptr);
}

TEST(Dialogs, AWorkerIsNotLeftWaitingOnALoopThatHasShutDown) {
  HeadlessMainLoop loop;
  RecordingDialogs recording;
  recording.ScriptAnswers({DialogResult::Yes});
  InstallDialogs(&recording, &loop);
  std::atomic<int> answer = 0;
  std::thread worker([&] {
    answer = static_cast<int>(
        CurrentDialogs().ShowMessage("q", " PYTANIE", DialogIcon::Question, DialogButtons::YesNoCancel));
  });
  std::this_thread::sleep_for(20ms);
  loop.Shutdown();
  worker.join();
  EXPECT_EQ(answer, static_cast<int>(DialogResult::Cancel));  // as a box closed without a choice
  EXPECT_TRUE(recording.Boxes().empty());
  InstallDialogs(nullptr);
}

}  // namespace
}  // namespace platform
