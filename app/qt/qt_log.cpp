#include "app/qt/qt_log.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <stdexcept>


namespace app::qt {


QtLog::QtLog(QPlainTextEdit* edit) : LogInsertionState(edit, QPalette::Base, QPalette::Text), edit_(edit) {
  edit_->setReadOnly(true);
  edit_->setUndoRedoEnabled(false);
  insertion_ = LogCharAttributes(Font());
}

void QtLog::SetFont(const TFont& value) {
  QtControl::SetFont(value);
  insertion_ = LogCharAttributes(value);
  edit_->document()->setDefaultFont(ToQFont(value));
}

QTextCharFormat QtLog::Format(const TFont& font) const {
  QTextCharFormat format;
  format.setFontFamilies({QString::fromStdString(font.Name)});
  format.setFontPointSize(font.Size);
  format.setFontWeight(font.Bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(false);
  format.setFontUnderline(false);
  format.setForeground(ToQColor(font.Color));
  return format;
}

void QtLog::Clear() {
  pendingLine_.reset();
  edit_->document()->clear();
  CaretToEnd();
}

int QtLog::LineCount() const { return edit_->document()->blockCount() - 1; }

AnsiString QtLog::Line(int index) const {
  if (pendingLine_ && pendingLine_->index == index) return pendingLine_->text;
  return FromQt(edit_->document()->findBlockByNumber(index).text());
}

void QtLog::InsertLineAt(QTextCursor& cursor, const AnsiString& text, const QTextCharFormat& format) {
  cursor.insertText(ToQt(text), format);
  cursor.insertBlock(QTextBlockFormat(), format);
}

void QtLog::AppendLine(const AnsiString& text) {
  ApplyPendingLine();
  QTextCursor cursor(edit_->document());
  cursor.movePosition(QTextCursor::End);
  const QTextCharFormat format = Format(insertion_);
  for (const AnsiString& line : SplitLogLines(text)) InsertLineAt(cursor, line, format);
  CaretToEnd();
}

void QtLog::InsertLine(int index, const AnsiString& text) {
  ApplyPendingLine();
  QTextCursor cursor(edit_->document()->findBlockByNumber(std::clamp(index, 0, LineCount())));
  InsertLineAt(cursor, text, Format(insertion_));
  CaretToEnd();
}

void QtLog::ReplaceLine(int index, const AnsiString& text) {
  // While repainting is held back, a line replaced again and again (a
  // progress line) reaches the document once, with its last text.
  if (updating_ > 0) {
    if (pendingLine_ && pendingLine_->index != index) ApplyPendingLine();
    if (index < 0 || index >= LineCount()) throw std::out_of_range("QtLog::ReplaceLine");
    pendingLine_ = PendingLine{index, text};
    CaretToEnd();
    return;
  }
  ReplaceLineNow(index, text);
}

void QtLog::ApplyPendingLine() {
  if (!pendingLine_) return;
  const PendingLine line = std::move(*pendingLine_);
  pendingLine_.reset();
  ReplaceLineNow(line.index, line.text);
}

void QtLog::ReplaceLineNow(int index, const AnsiString& text) {
  const QTextBlock block = edit_->document()->findBlockByNumber(index);
  // Positions are set directly: moving by characters or to the end of a
  // block would lay the line out first, for every line replaced.
  QTextCursor cursor(block);
  // The format of the line's first character (the character after the block start).
  QTextCharFormat format = Format(insertion_);
  if (block.length() > 1) {
    cursor.setPosition(block.position() + 1);
    format = cursor.charFormat();
    cursor.setPosition(block.position());
  }
  cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  cursor.insertText(ToQt(text), format);
  CaretToEnd();
}

void QtLog::DeleteLine(int index) {
  ApplyPendingLine();
  const QTextBlock block = edit_->document()->findBlockByNumber(index);
  QTextCursor cursor(block);
  cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  CaretToEnd();
}

void QtLog::BeginUpdate() {
  if (updating_++ == 0) {
    edit_->setUpdatesEnabled(false);
    editBlock_ = QTextCursor(edit_->document());
    editBlock_.beginEditBlock();
  }
}

void QtLog::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) {
    ApplyPendingLine();
    editBlock_.endEditBlock();
    editBlock_ = QTextCursor();
    if (caretToEndPending_) CaretToEnd();
    edit_->setUpdatesEnabled(true);
  }
}

int QtLog::TextLength() const {
  const int pendingChange =
      pendingLine_ ? static_cast<int>(ToQt(pendingLine_->text).size()) -
                         (edit_->document()->findBlockByNumber(pendingLine_->index).length() - 1)
                   : 0;
  return edit_->document()->characterCount() - 1 + pendingChange;
}

int QtLog::CaretPosition() const {
  return caretToEndPending_ ? TextLength() : edit_->textCursor().selectionStart();
}

void QtLog::SetCaretPosition(int value) {
  ApplyPendingLine();
  caretToEndPending_ = false;
  QTextCursor cursor = edit_->textCursor();
  cursor.setPosition(std::clamp(value, 0, TextLength()));
  edit_->setTextCursor(cursor);
}

int QtLog::SelectionLength() const {
  if (caretToEndPending_) return 0;
  const QTextCursor cursor = edit_->textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void QtLog::Select(int start, int length) {
  ApplyPendingLine();
  const int total = TextLength();
  start = std::clamp(start, 0, total);
  length = std::clamp(length, 0, total - start);
  caretToEndPending_ = false;
  QTextCursor cursor = edit_->textCursor();
  cursor.setPosition(start);
  cursor.setPosition(start + length, QTextCursor::KeepAnchor);
  edit_->setTextCursor(cursor);
}

void QtLog::SetSelectionAttributes(const TFont& value) {
  ApplyPendingLine();
  QTextCursor cursor = edit_->textCursor();
  if (cursor.hasSelection()) cursor.setCharFormat(Format(LogCharAttributes(value)));
}

void QtLog::ScrollToCaret() {
  ApplyPendingLine();
  edit_->ensureCursorVisible();
}

void QtLog::CaretToEnd() {
  caretToEndPending_ = updating_ > 0;
  if (caretToEndPending_) return;
  QTextCursor cursor = edit_->textCursor();
  cursor.movePosition(QTextCursor::End);
  edit_->setTextCursor(cursor);
}

TFont QtLog::CharAttributes(int line, int column) {
  ApplyPendingLine();
  QTextCursor cursor(edit_->document()->findBlockByNumber(line));
  cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, column + 1);
  const QTextCharFormat format = cursor.charFormat();
  TFont font;
  const QStringList families = format.fontFamilies().toStringList();
  font.Name = families.isEmpty() ? std::string() : families.front().toStdString();
  font.Size = static_cast<int>(format.fontPointSize());
  font.Bold = format.fontWeight() >= QFont::Bold;
  font.Color = FromQColor(format.foreground().color());
  return font;
}

}  // namespace app::qt
