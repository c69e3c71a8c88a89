#include "app/qt/qt_controls.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

namespace app::qt {

namespace {
void Raise(const std::function<void()>& event) {
  if (event) event();
}

// The logic's text with CR LF breaks <-> the editor's text with LF breaks.
QString ToEditorText(const AnsiString& text) {
  QString result = ToQt(text);
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return result;
}
AnsiString FromEditorText(QString text) {
  text.replace(QChar(QChar::ParagraphSeparator), QChar('\n'));
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return FromQt(text);
}
}  // namespace

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->position().toPoint())) {
    Raise(clicked);
  }
}

QtLabel::QtLabel(ClickableLabel* label) : QtControl(label, QPalette::Window, QPalette::WindowText), label_(label) {
  label_->clicked = [this] { Raise(OnClick); };
}

void QtLabel::SetCaption(const AnsiString& value) {
  const QString text = ToQt(value);
  if (label_->text() != text) label_->setText(text);
}

void QtGroupBox::SetCaption(const AnsiString& value) { box_->setTitle(ToQt(value)); }

QtButton::QtButton(QPushButton* button)
    : QtControl(button, QPalette::Button, QPalette::ButtonText), button_(button) {
  QObject::connect(button_, &QPushButton::clicked, [this] { Raise(OnClick); });
}

void QtButton::SetCaption(const AnsiString& value) { button_->setText(ToQt(value)); }

QtCheckBox::QtCheckBox(QAbstractButton* box) : QtControl(box, QPalette::Window, QPalette::WindowText), box_(box) {
  // A click of the user has already toggled the box when `clicked` arrives.
  QObject::connect(box_, &QAbstractButton::clicked, [this] { Raise(OnClick); });
}

void QtCheckBox::SetCaption(const AnsiString& value) { box_->setText(ToQt(value)); }

void QtCheckBox::SetChecked(bool value) {
  if (value == box_->isChecked()) return;
  const bool blocked = box_->blockSignals(true);
  box_->setChecked(value);
  box_->blockSignals(blocked);
  Raise(OnClick);
}

QtMemo::QtMemo(QPlainTextEdit* edit) : QtControl(edit, QPalette::Base, QPalette::Text), edit_(edit) {
  QObject::connect(edit_, &QPlainTextEdit::textChanged, [this] {
    if (changing_) return;
    EnforceMaxLength();
    Raise(OnChange);
  });
  // The focus arriving from elsewhere.
  QObject::connect(qApp, &QApplication::focusChanged, edit_, [this](QWidget* old, QWidget* now) {
    if (now == edit_ && old != edit_) Raise(OnEnter);
  });
}

AnsiString QtMemo::Text() const { return FromEditorText(edit_->toPlainText()); }

void QtMemo::SetText(const AnsiString& value) {
  if (value == Text()) return;
  edit_->setPlainText(ToEditorText(value));
}

void QtMemo::EnforceMaxLength() {
  if (maxLength_ <= 0) return;
  const AnsiString text = Text();
  if (static_cast<int>(text.size()) <= maxLength_) return;
  AnsiString cut = text.substr(0, static_cast<size_t>(maxLength_));
  if (!cut.empty() && cut.back() == '\r') cut.pop_back();  // never half a line break
  const int caret = std::min(SelStart(), static_cast<int>(cut.size()));
  changing_ = true;
  edit_->setPlainText(ToEditorText(cut));
  changing_ = false;
  SetSelStart(caret);
}

int QtMemo::ToEditorOffset(int offset) const {
  const AnsiString text = Text();
  int position = 0;
  for (int i = 0; i < offset && i < static_cast<int>(text.size()); ++i) {
    if (text[i] == '\r' && i + 1 < static_cast<int>(text.size()) && text[i + 1] == '\n') continue;
    ++position;
  }
  return position;
}

int QtMemo::FromEditorOffset(int position) const {
  const QString text = edit_->toPlainText();
  int offset = position;
  for (int i = 0; i < position && i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == QChar(QChar::ParagraphSeparator)) ++offset;
  }
  return offset;
}

int QtMemo::SelStart() const { return FromEditorOffset(edit_->textCursor().selectionStart()); }

void QtMemo::SetSelStart(int value) {
  QTextCursor cursor = edit_->textCursor();
  cursor.setPosition(std::clamp(ToEditorOffset(value), 0, static_cast<int>(edit_->toPlainText().size())));
  edit_->setTextCursor(cursor);
}

int QtMemo::SelLength() const {
  const QTextCursor cursor = edit_->textCursor();
  return FromEditorOffset(cursor.selectionEnd()) - FromEditorOffset(cursor.selectionStart());
}

void QtMemo::BeginUpdate() {
  if (updating_++ == 0) edit_->setUpdatesEnabled(false);
}

void QtMemo::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) edit_->setUpdatesEnabled(true);
}

QtLineEdit::QtLineEdit(QLineEdit* edit) : QtControl(edit, QPalette::Base, QPalette::Text), edit_(edit) {
  QObject::connect(edit_, &QLineEdit::textChanged, [this] { Raise(OnChange); });
  QObject::connect(qApp, &QApplication::focusChanged, edit_, [this](QWidget* old, QWidget* now) {
    if (now == edit_ && old != edit_) Raise(OnEnter);
  });
}

void QtLineEdit::SetText(const AnsiString& value) {
  const QString text = ToQt(value);
  if (edit_->text() != text) edit_->setText(text);
}

int QtLineEdit::SelStart() const {
  return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
}

QtComboBox::QtComboBox(QComboBox* box) : QtControl(box, QPalette::Base, QPalette::Text), box_(box) {
  const auto inside = [this](QWidget* widget) { return widget && (widget == box_ || box_->isAncestorOf(widget)); };
  focusConnection_ = QObject::connect(qApp, &QApplication::focusChanged, box_, [this, inside](QWidget* old, QWidget* now) {
    if (inside(now) && !inside(old)) Raise(OnEnter);
  });
}

QtComboBox::~QtComboBox() { QObject::disconnect(focusConnection_); }

void QtComboBox::SetText(const AnsiString& value) {
  const QString text = ToQt(value);
  if (box_->currentText() != text) box_->setEditText(text);
}

std::vector<AnsiString> QtComboBox::Items() const {
  std::vector<AnsiString> items;
  for (int i = 0; i < box_->count(); ++i) items.push_back(FromQt(box_->itemText(i)));
  return items;
}

void QtComboBox::SetItems(const std::vector<AnsiString>& value) {
  if (value == Items()) return;
  const QString text = box_->currentText();  // clearing the list clears the edit text
  box_->clear();
  for (const AnsiString& item : value) box_->addItem(ToQt(item));
  box_->setEditText(text);
}

void QtComboBox::SetFont(const TFont& value) {
  QtControl::SetFont(value);
  // The edit field draws the text; it takes the same font and colour.
  if (QLineEdit* edit = box_->lineEdit()) {
    edit->setFont(ToQFont(value));
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, ToQColor(value.Color));
    edit->setPalette(palette);
  }
}

void QtProgressBar::SetProgress(int value) {
  if (bar_->value() != value) bar_->setValue(value);
}

void QtProgressBar::SetForeColor(TColor value) {
  QPalette palette = bar_->palette();
  palette.setColor(QPalette::Highlight, ToQColor(value));
  bar_->setPalette(palette);
}

}  // namespace app::qt
