#pragma once
// For the tests of the dialogs service: a message box raised on a worker
// thread.
//
// Threads: construct, pump and read on the main thread; the box is raised on
// the object's own worker.

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "platform/dialogs.h"
#include "platform/main_loop_contract.h"

namespace platform::testing {

class BoxFromWorker {
 public:
  explicit BoxFromWorker(std::string text)
      : worker_([this, text = std::move(text)] {
          answer_ = CurrentDialogs().ShowMessage(text, "Talvane", DialogIcon::None, DialogButtons::YesNoCancel);
          finished_ = true;
        }) {}
  ~BoxFromWorker() { worker_.join(); }
  BoxFromWorker(const BoxFromWorker&) = delete;
  BoxFromWorker& operator=(const BoxFromWorker&) = delete;

  bool Finished() const { return finished_; }
  // Runs `loop` until the worker has its answer: the answer, or nothing if
  // it never came (the loop is then shut down, which releases the worker).
  std::optional<DialogResult> AnswerAfterPumping(MainLoop& loop) {
    if (!PumpUntil(loop, [&] { return finished_.load(); }, std::chrono::seconds(20))) {
      loop.Shutdown();
      return std::nullopt;
    }
    return answer_.load();
  }

 private:
  std::atomic<DialogResult> answer_ = DialogResult::Ok;
  std::atomic<bool> finished_ = false;
  std::thread worker_;  // last: it starts once the answer and flag exist
};

}  // namespace platform::testing
