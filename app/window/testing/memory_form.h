#pragma once
// Windows and the file dialog of the memory view.
//
// Threads: main thread only, as the window logic that drives it.

#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "app/window/view_form.h"

namespace app {

class MemoryForm final : public TForm {
 public:
  explicit MemoryForm(std::string name, int screenWidth = 1920, int screenHeight = 1080)
      : name_(std::move(name)), screenWidth_(screenWidth), screenHeight_(screenHeight) {}

  std::string Name() const override { return name_; }
  AnsiString Caption() const override { return caption_; }
  void SetCaption(const AnsiString& value) override { caption_ = value; }
  TFont Font() const override { return font_; }
  void SetFont(const TFont& value) override { font_ = value; }

  int Left() const override { return left_; }
  int Top() const override { return top_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetLeft(int value) override { left_ = value; }
  void SetTop(int value) override { top_ = value; }
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  int ClientWidth() const override { return width_ - TFormBorder::Width; }
  int ClientHeight() const override { return height_ - TFormBorder::Height; }
  void SetClientSize(int width, int height) override;
  void SetMinimumSize(int width, int height) override;
  void UseDefaultPosition() override { defaultPosition_ = true; }

  int ScreenWidth() const override { return screenWidth_; }
  int ScreenHeight() const override { return screenHeight_; }

  bool Visible() const override { return visible_; }
  void Show() override;
  void Hide() override { visible_ = false; }
  void Close() override;
  bool HandleAllocated() const override { return handleAllocated_; }
  void SetZOrder(bool topmost, bool activate) override;
  bool Topmost() const override { return topmost_; }

  int MinimumWidth() const { return minWidth_; }
  int MinimumHeight() const { return minHeight_; }
  bool UsesDefaultPosition() const { return defaultPosition_; }
  bool Active() const { return active_; }
  int ShowCount() const { return shows_; }
  // The window system's window exists once the window has been shown; tests
  // may take it away.
  void SetHandleAllocated(bool value) { handleAllocated_ = value; }

 private:
  std::string name_;
  AnsiString caption_;
  TFont font_;
  int left_ = 0;
  int top_ = 0;
  int width_ = 200 + TFormBorder::Width;
  int height_ = 100 + TFormBorder::Height;
  int minWidth_ = 0;
  int minHeight_ = 0;
  int screenWidth_;
  int screenHeight_;
  bool visible_ = false;
  bool handleAllocated_ = false;
  bool defaultPosition_ = false;
  bool topmost_ = false;
  bool active_ = false;
  int shows_ = 0;
};

// A file dialog answering from a script: each Execute takes the next answer
// (a file name, or nothing for Cancel); with no answer left it cancels.
class MemoryOpenDialog final : public TOpenDialog {
 public:
  explicit MemoryOpenDialog(std::string name) : name_(std::move(name)) {}
  std::string Name() const override { return name_; }
  bool Execute() override;

  void ScriptAnswer(std::optional<std::string> fileName) { answers_.push_back(std::move(fileName)); }
  int ExecuteCount() const { return executions_; }

 private:
  std::string name_;
  std::deque<std::optional<std::string>> answers_;
  int executions_ = 0;
};

}  // namespace app
