#pragma once
// Dialogs that record every box instead of showing it, and answer from a script.
// Thread-safe: boxes may be recorded and read from any thread.

#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs.h"

namespace platform {

class RecordingDialogs final : public Dialogs {
 public:
  struct Box {
    std::string text;
    std::string caption;
    DialogIcon icon;
    DialogButtons buttons;
    std::thread::id thread;  // the thread the box was shown on
  };

  DialogResult ShowMessage(const std::string& text, const std::string& caption, DialogIcon icon,
                           DialogButtons buttons) override;

  // Answers given to the next boxes, in order; when the script is empty an
  // Ok box answers Ok and a question answers Cancel.
  void ScriptAnswers(std::initializer_list<DialogResult> answers);

  std::vector<Box> Boxes() const;
  std::vector<std::string> Texts() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<Box> boxes_;
  std::deque<DialogResult> script_;
};

}  // namespace platform
