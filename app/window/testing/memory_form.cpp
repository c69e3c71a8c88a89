#include "app/window/testing/memory_form.h"

#include <algorithm>

namespace app {

void MemoryForm::SetWidth(int value) { width_ = std::max(value, minWidth_); }
void MemoryForm::SetHeight(int value) { height_ = std::max(value, minHeight_); }

void MemoryForm::SetClientSize(int width, int height) {
  SetWidth(width + TFormBorder::Width);
  SetHeight(height + TFormBorder::Height);
}

void MemoryForm::SetMinimumSize(int width, int height) {
  minWidth_ = width;
  minHeight_ = height;
  SetWidth(width_);
  SetHeight(height_);
}

void MemoryForm::Show() {
  handleAllocated_ = true;
  if (visible_) return;
  visible_ = true;
  ++shows_;
  if (OnShow) OnShow();
}

void MemoryForm::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(canClose);
  if (!canClose) return;
  if (OnClose) OnClose();
  visible_ = false;
}

void MemoryForm::SetZOrder(bool topmost, bool activate) {
  topmost_ = topmost;
  if (activate) active_ = true;
}

bool MemoryOpenDialog::Execute() {
  ++executions_;
  if (answers_.empty()) return false;
  std::optional<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  if (!answer) return false;
  SetFileName(*answer);
  return true;
}

}  // namespace app
