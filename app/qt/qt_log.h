#pragma once
// The activity log on a read-only QPlainTextEdit. Each line is a block of the
// document; the document always ends with an empty block (the line after the
// last break), so positions and lengths count exactly as the log defines them.
// The plain text editor still shows each character in its own font and
// colour, and lays out only the lines in view: a log of tens of thousands of
// lines (an import's corrections) costs no more to show than a short one.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>

#include <optional>

#include "app/window/activity_log.h"
#include "app/qt/qt_controls.h"

namespace app::qt {

class QtLog final : public LogInsertionState<QtControl<TLogView>> {
 public:
  explicit QtLog(QPlainTextEdit* edit);

  void SetFont(const TFont& value) override;

  void Clear() override;
  int LineCount() const override;
  AnsiString Line(int index) const override;
  void AppendLine(const AnsiString& text) override;
  void InsertLine(int index, const AnsiString& text) override;
  void ReplaceLine(int index, const AnsiString& text) override;
  void DeleteLine(int index) override;

  void BeginUpdate() override;
  void EndUpdate() override;
  bool Updating() const override { return updating_ > 0; }

  int TextLength() const override;
  int CaretPosition() const override;
  void SetCaretPosition(int value) override;
  int SelectionLength() const override;
  void Select(int start, int length) override;
  void SetSelectionAttributes(const TFont& value) override;
  void ScrollToCaret() override;

  // The attributes of one character (tests).
  TFont CharAttributes(int line, int column);

 private:
  QTextCharFormat Format(const TFont& font) const;
  void InsertLineAt(QTextCursor& cursor, const AnsiString& text, const QTextCharFormat& format);
  void CaretToEnd();
  void ReplaceLineNow(int index, const AnsiString& text);
  void ApplyPendingLine();

  QPlainTextEdit* edit_;
  int updating_ = 0;
  // While repainting is held back, edits form one edit block of the document
  // (laid out once, at its end) and the caret follows the text only then.
  QTextCursor editBlock_;
  bool caretToEndPending_ = false;
  // A line replaced while repainting is held back, not yet in the document.
  struct PendingLine {
    int index;
    AnsiString text;
  };
  std::optional<PendingLine> pendingLine_;
};

}  // namespace app::qt
