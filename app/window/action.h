#pragma once
// A command of the window (actImportuj, actWyslij, ...): a caption, an
// enabled state and what it does. Buttons bound to a command show its caption,
// follow its enabled state and run it when clicked.
//
// Threads: main thread only.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/window/view_controls.h"

namespace app {

class TAction {
 public:
  TAction(std::string name, AnsiString caption) : name_(std::move(name)), caption_(std::move(caption)) {}
  TAction(const TAction&) = delete;
  TAction& operator=(const TAction&) = delete;

  const std::string& Name() const { return name_; }
  const AnsiString& Caption() const { return caption_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) {
    enabled_ = value;
    for (TButton* button : buttons_) button->SetEnabled(value);
  }

  void Bind(TButton& button) {
    buttons_.push_back(&button);
    button.SetCaption(caption_);
    button.SetEnabled(enabled_);
    button.OnClick = [this] { Execute(); };
  }

  // Runs the command when it is enabled; false when it is not.
  bool Execute() {
    if (!enabled_) return false;
    if (OnExecute) OnExecute();
    return true;
  }

  std::function<void()> OnExecute;

 private:
  std::string name_;
  AnsiString caption_;
  bool enabled_ = true;
  std::vector<TButton*> buttons_;
};

}  // namespace app
