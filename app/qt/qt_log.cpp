#include "app/qt/qt_log.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/memory_log.h"

namespace app::qt {


QtLog::QtLog(QTextEdit* edit) : LogInsertionState(edit, QPalette::Base, QPalette::Text), edit_(edit) {
  edit_->setReadOnly(true);
  edit_->setUndoRedoEnabled(false);
  edit_->setAcceptRichText(false);
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
  edit_->document()->clear();
  CaretToEnd();
}

int QtLog::LineCount() const { return edit_->document()->blockCount() - 1; }

AnsiString QtLog::Line(int index) const {
  return FromQt(edit_->document()->findBlockByNumber(index).text());
}

void QtLog::InsertLineAt(QTextCursor& cursor, const AnsiString& text, const QTextCharFormat& format) {
  cursor.insertText(ToQt(text), format);
  cursor.insertBlock(QTextBlockFormat(), format);
}

void QtLog::AppendLine(const AnsiString& text) {
  QTextCursor cursor(edit_->document());
  cursor.movePosition(QTextCursor::End);
  const QTextCharFormat format = Format(insertion_);
  for (const AnsiString& line : SplitLogLines(text)) InsertLineAt(cursor, line, format);
  CaretToEnd();
}

void QtLog::InsertLine(int index, const AnsiString& text) {
  QTextCursor cursor(edit_->document()->findBlockByNumber(std::clamp(index, 0, LineCount())));
  InsertLineAt(cursor, text, Format(insertion_));
  CaretToEnd();
}

void QtLog::ReplaceLine(int index, const AnsiString& text) {
  const QTextBlock block = edit_->document()->findBlockByNumber(index);
  QTextCursor cursor(block);
  // The format of the line's first character (the character after the block start).
  QTextCharFormat format = Format(insertion_);
  if (block.length() > 1) {
    QTextCursor first(block);
    first.movePosition(QTextCursor::NextCharacter);
    format = first.charFormat();
  }
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(ToQt(text), format);
  CaretToEnd();
}

void QtLog::DeleteLine(int index) {
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
    editBlock_.endEditBlock();
    editBlock_ = QTextCursor();
    if (caretToEndPending_) CaretToEnd();
    edit_->setUpdatesEnabled(true);
  }
}

int QtLog::TextLength() const { return edit_->document()->characterCount() - 1; }

int QtLog::CaretPosition() const {
  return caretToEndPending_ ? TextLength() : edit_->textCursor().selectionStart();
}

void QtLog::SetCaretPosition(int value) {
  caretToEndPending_ = false;
  QTextCursor cursor = edit_->textCursor();
  cursor.setPosition(std::clamp(value, 0, TextLength()));
  edit_->setTextCursor(cursor);
}

int QtLog::SelectionLength() const {
  const QTextCursor cursor = edit_->textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void QtLog::Select(int start, int length) {
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
  QTextCursor cursor = edit_->textCursor();
  if (cursor.hasSelection()) cursor.setCharFormat(Format(LogCharAttributes(value)));
}

void QtLog::ScrollToCaret() { edit_->ensureCursorVisible(); }

void QtLog::CaretToEnd() {
  caretToEndPending_ = updating_ > 0;
  if (caretToEndPending_) return;
  QTextCursor cursor = edit_->textCursor();
  cursor.movePosition(QTextCursor::End);
  edit_->setTextCursor(cursor);
}

TFont QtLog::CharAttributes(int line, int column) const {
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
