#pragma once
// The activity log of the memory view: lines with a set of attributes for
// each character (kept as runs of characters alike), a caret, a selection and
// a scroll position, as the rich-text control keeps them.
//
// Threads: main thread only, as the window logic that drives it.

#include <string>
#include <vector>

#include "app/window/activity_log.h"
#include "app/window/testing/memory_controls.h"

namespace app {

class MemoryLog final : public LogInsertionState<MemoryControl<TLogView>> {
 public:
  // Lines the control shows at once (for the scroll position).
  static constexpr int kPageLines = 20;

  explicit MemoryLog(std::string name);

  void SetFont(const TFont& value) override;

  void Clear() override;
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  AnsiString Line(int index) const override { return lines_.at(index).text; }
  void AppendLine(const AnsiString& text) override;
  void InsertLine(int index, const AnsiString& text) override;
  void ReplaceLine(int index, const AnsiString& text) override;
  void DeleteLine(int index) override;

  void BeginUpdate() override { ++updating_; }
  void EndUpdate() override { --updating_; }
  bool Updating() const override { return updating_ > 0; }

  int TextLength() const override { return textLength_; }
  int CaretPosition() const override { return selStart_; }
  void SetCaretPosition(int value) override;
  int SelectionLength() const override { return selLength_; }
  void Select(int start, int length) override;
  void SetSelectionAttributes(const TFont& value) override;
  void ScrollToCaret() override;

  // What the tests look at.
  TFont CharAttributes(int line, int column) const;
  int FirstVisibleLine() const { return firstVisible_; }
  bool LineVisible(int line) const { return line >= firstVisible_ && line < firstVisible_ + kPageLines; }
  // The user scrolls to the top.
  void ScrollToTop() { firstVisible_ = 0; }

 private:
  // From character `start` on, up to the next run, the characters carry `font`.
  struct Run {
    int start = 0;
    TFont font;
  };
  struct LogLine {
    AnsiString text;
    std::vector<Run> runs;  // the first starts at 0; none for an empty line
  };
  static void SetAttributes(LogLine& line, int from, int to, const TFont& font);

  LogLine MakeLine(const AnsiString& text, const TFont& font) const;
  int LineOfPosition(int position) const;
  void CaretToEnd();

  std::vector<LogLine> lines_;
  int textLength_ = 0;  // of every line with its line break
  int updating_ = 0;
  int selStart_ = 0;
  int selLength_ = 0;
  int firstVisible_ = 0;
};

}  // namespace app
