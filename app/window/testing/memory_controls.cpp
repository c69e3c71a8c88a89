#include "app/window/testing/memory_controls.h"

#include <algorithm>

namespace app {

namespace {
void Raise(const std::function<void()>& event) {
  if (event) event();
}
}  // namespace

void MemoryLabel::Click() {
  if (Usable()) Raise(OnClick);
}

bool MemoryButton::Click() {
  if (!Usable()) return false;
  Raise(OnClick);
  return true;
}

void MemoryCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  Raise(OnClick);
}

void MemoryCheckBox::Click() {
  if (Usable()) SetChecked(!checked_);
}

void MemoryEditor::SetText(const AnsiString& value) {
  const bool changed = value != text_;
  text_ = value;
  selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
  selLength_ = 0;
  if (changed) Raise(OnChange);
}

void MemoryEditor::SetSelStart(int value) {
  selStart_ = std::clamp(value, 0, static_cast<int>(text_.size()));
  selLength_ = 0;
}

void MemoryEditor::SelectAll() {
  selStart_ = 0;
  selLength_ = static_cast<int>(text_.size());
}

void MemoryEditor::Type(const AnsiString& text) {
  if (!Usable() || readOnly_) return;
  const int kept = static_cast<int>(text_.size()) - selLength_;
  const size_t room = maxLength_ > 0 ? static_cast<size_t>(std::max(0, maxLength_ - kept)) : text.size();
  const AnsiString inserted = text.substr(0, room);
  text_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), inserted);
  selStart_ += static_cast<int>(inserted.size());
  selLength_ = 0;
  Raise(OnChange);
}

void MemoryEditor::Focus() {
  if (!Usable()) return;
  const bool had = Focused();
  SetFocus();
  if (!had) Raise(OnEnter);
}

void MemoryComboBox::Focus() {
  if (!Usable()) return;
  const bool had = Focused();
  SetFocus();
  if (!had) Raise(OnEnter);
}

void MemoryComboBox::Type(const AnsiString& text) {
  if (Usable()) text_ = text;
}

void MemoryGauge::SetRange(int minValue, int maxValue) {
  min_ = minValue;
  max_ = maxValue;
}

void MemoryPageControl::SetActivePageIndex(int value) {
  if (value >= 0 && value < pageCount_) active_ = value;
}

TRect MemoryStatusBar::PanelRect(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += panels_.at(i).width;
  return {left, 0, left + panels_.at(index).width, height_};
}

void MemoryStatusBar::Repaint() {
  ++repaints_;
  lastPaint_ = MemoryCanvas();
  if (!OnDrawPanel) return;
  for (int i = 0; i < PanelCount(); ++i) {
    if (panels_[i].style == TPanelStyle::OwnerDraw) OnDrawPanel(lastPaint_, i, PanelRect(i));
  }
}

bool MemoryStatusBar::Hosts(const TControl& control) const {
  return std::find(hosted_.begin(), hosted_.end(), &control) != hosted_.end();
}

bool MemoryMenuItem::Click() {
  if (!enabled_) return false;
  Raise(OnClick);
  return true;
}

void MemoryListBox::Delete(int index) {
  items_.erase(items_.begin() + index);
  if (itemIndex_ >= Count()) itemIndex_ = -1;
}

void MemoryListBox::Clear() {
  items_.clear();
  itemIndex_ = -1;
}

void MemoryListBox::SetItemIndex(int value) { itemIndex_ = (value >= 0 && value < Count()) ? value : -1; }

void MemoryListBox::OpenPopup() {
  if (Usable()) Raise(OnPopup);
}

}  // namespace app
