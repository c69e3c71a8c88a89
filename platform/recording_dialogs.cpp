#include "platform/recording_dialogs.h"

namespace platform {

DialogResult RecordingDialogs::ShowMessage(const std::string& text, const std::string& caption, DialogIcon icon,
                                           DialogButtons buttons) {
  std::lock_guard lock(mutex_);
  boxes_.push_back(Box{text, caption, icon, buttons, std::this_thread::get_id()});
  if (!script_.empty()) {
    const DialogResult answer = script_.front();
    script_.pop_front();
    return answer;
  }
  return ClosedAnswer(buttons);
}

void RecordingDialogs::ScriptAnswers(std::initializer_list<DialogResult> answers) {
  std::lock_guard lock(mutex_);
  script_.insert(script_.end(), answers.begin(), answers.end());
}

std::vector<RecordingDialogs::Box> RecordingDialogs::Boxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

std::vector<std::string> RecordingDialogs::Texts() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> texts;
  for (const Box& box : boxes_) texts.push_back(box.text);
  return texts;
}

void RecordingDialogs::Clear() {
  std::lock_guard lock(mutex_);
  boxes_.clear();
  script_.clear();
}

}  // namespace platform
