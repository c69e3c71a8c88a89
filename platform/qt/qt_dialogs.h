#pragma once
// Message boxes as QMessageBox. The box is modal and runs its own event loop,
// so timers and posted work keep running while it is open.
//
// Threads: main thread only; boxes raised elsewhere reach it through the
// dialogs service (platform/dialogs.h).

#include "platform/dialogs.h"

class QWidget;

namespace platform {

class QtDialogs final : public Dialogs {
 public:
  // Boxes are centred on `parent`, or on the active window when it is null.
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}

  DialogResult ShowMessage(const std::string& text, const std::string& caption, DialogIcon icon,
                           DialogButtons buttons) override;

 private:
  QWidget* parent_;
};

}  // namespace platform
