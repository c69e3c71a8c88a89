#pragma once
// The Qt view's elements: each binds one widget (whose objectName is the
// element's name) and keeps the values the logic gave it, so that setting an
// unchanged value leaves the widget alone.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

#include "app/qt/qt_convert.h"
#include "app/qt/qt_gauge_widget.h"
#include "app/window/view_controls.h"

namespace app::qt {

// What every element of the Qt view is: a widget.
class QtElement {
 public:
  virtual ~QtElement() = default;
  virtual QWidget* Widget() const = 0;
};

// The TControl part over a widget. `colorRole` is the palette role of the
// background, `textRole` that of the text.
template <class Kind>
class QtControl : public Kind, public QtElement {
 public:
  QtControl(QWidget* widget, QPalette::ColorRole colorRole, QPalette::ColorRole textRole)
      : widget_(widget), colorRole_(colorRole), textRole_(textRole) {
    font_.Name = widget->font().family().toStdString();
    font_.Size = widget->font().pointSize();
    font_.Color = FromQColor(widget->palette().color(textRole));
    color_ = FromQColor(widget->palette().color(colorRole));
  }

  std::string Name() const override { return widget_->objectName().toStdString(); }
  bool Enabled() const override { return widget_->isEnabled(); }
  void SetEnabled(bool value) override {
    if (widget_->isEnabled() != value) widget_->setEnabled(value);
  }
  bool Visible() const override { return !widget_->isHidden(); }
  void SetVisible(bool value) override {
    if (widget_->isHidden() == value) widget_->setVisible(value);
  }
  TColor Color() const override { return color_; }
  void SetColor(TColor value) override {
    if (value == color_ && colorSet_) return;
    color_ = value;
    colorSet_ = true;
    QPalette palette = widget_->palette();
    palette.setColor(colorRole_, ToQColor(value));
    widget_->setPalette(palette);
    if (colorRole_ == QPalette::Window) widget_->setAutoFillBackground(true);
  }
  TFont Font() const override { return font_; }
  void SetFont(const TFont& value) override {
    if (value == font_ && fontSet_) return;
    font_ = value;
    fontSet_ = true;
    widget_->setFont(ToQFont(value));
    // A disabled element keeps the system's disabled look.
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Active, textRole_, ToQColor(value.Color));
    palette.setColor(QPalette::Inactive, textRole_, ToQColor(value.Color));
    widget_->setPalette(palette);
  }
  void SetFocus() override { widget_->setFocus(Qt::OtherFocusReason); }
  bool Focused() const override { return widget_->hasFocus(); }
  TRect BoundsRect() const override {
    const QRect r = widget_->geometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  }
  void SetBoundsRect(const TRect& value) override {
    const QRect r(value.Left, value.Top, value.Width(), value.Height());
    if (widget_->geometry() != r) widget_->setGeometry(r);
  }

  QWidget* Widget() const override { return widget_; }

 private:
  QWidget* widget_;
  QPalette::ColorRole colorRole_;
  QPalette::ColorRole textRole_;
  TFont font_;
  TColor color_ = clWhite;
  bool fontSet_ = false;
  bool colorSet_ = false;
};

// A label that can be clicked (the "test modemu" link).
class ClickableLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> clicked;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class QtLabel final : public QtControl<TLabel> {
 public:
  explicit QtLabel(ClickableLabel* label);
  AnsiString Caption() const override { return FromQt(label_->text()); }
  void SetCaption(const AnsiString& value) override;

 private:
  ClickableLabel* label_;
};

class QtGroupBox final : public QtControl<TLabel> {
 public:
  explicit QtGroupBox(QGroupBox* box) : QtControl(box, QPalette::Window, QPalette::WindowText), box_(box) {}
  AnsiString Caption() const override { return FromQt(box_->title()); }
  void SetCaption(const AnsiString& value) override;

 private:
  QGroupBox* box_;
};

// A tab page: its caption is the tab's text.
class QtTabSheet final : public QtControl<TLabel> {
 public:
  QtTabSheet(QTabWidget* tabs, QWidget* page)
      : QtControl(page, QPalette::Window, QPalette::WindowText), tabs_(tabs), page_(page) {}
  AnsiString Caption() const override { return FromQt(tabs_->tabText(tabs_->indexOf(page_))); }
  void SetCaption(const AnsiString& value) override { tabs_->setTabText(tabs_->indexOf(page_), ToQt(value)); }

 private:
  QTabWidget* tabs_;
  QWidget* page_;
};

class QtButton final : public QtControl<TButton> {
 public:
  explicit QtButton(QPushButton* button);
  AnsiString Caption() const override { return FromQt(button_->text()); }
  void SetCaption(const AnsiString& value) override;

 private:
  QPushButton* button_;
};

// A check box or radio button.
class QtCheckBox final : public QtControl<TCheckBox> {
 public:
  explicit QtCheckBox(QAbstractButton* box);
  AnsiString Caption() const override { return FromQt(box_->text()); }
  void SetCaption(const AnsiString& value) override;
  bool Checked() const override { return box_->isChecked(); }
  void SetChecked(bool value) override;

 private:
  QAbstractButton* box_;
};

// A multi-line editor (or hidden text buffer). Offsets and lengths count a
// line break as CR LF, as the logic does.
class QtMemo final : public QtControl<TEditor> {
 public:
  explicit QtMemo(QPlainTextEdit* edit);
  AnsiString Text() const override;
  void SetText(const AnsiString& value) override;
  int MaxLength() const override { return maxLength_; }
  void SetMaxLength(int value) override { maxLength_ = value; }
  int SelStart() const override;
  void SetSelStart(int value) override;
  int SelLength() const override;
  void SelectAll() override { edit_->selectAll(); }
  bool ReadOnly() const override { return edit_->isReadOnly(); }
  void SetReadOnly(bool value) override { edit_->setReadOnly(value); }
  void BeginUpdate() override;
  void EndUpdate() override;

 private:
  void EnforceMaxLength();
  int ToEditorOffset(int offset) const;
  int FromEditorOffset(int position) const;

  QPlainTextEdit* edit_;
  int maxLength_ = 0;
  int updating_ = 0;
  bool changing_ = false;
};

class QtLineEdit final : public QtControl<TEditor> {
 public:
  explicit QtLineEdit(QLineEdit* edit);
  AnsiString Text() const override { return FromQt(edit_->text()); }
  void SetText(const AnsiString& value) override;
  int MaxLength() const override { return edit_->maxLength(); }
  void SetMaxLength(int value) override { edit_->setMaxLength(value > 0 ? value : 32767); }
  int SelStart() const override;
  void SetSelStart(int value) override { edit_->setCursorPosition(value); }
  int SelLength() const override { return static_cast<int>(edit_->selectedText().size()); }
  void SelectAll() override { edit_->selectAll(); }
  bool ReadOnly() const override { return edit_->isReadOnly(); }
  void SetReadOnly(bool value) override { edit_->setReadOnly(value); }
  void BeginUpdate() override { edit_->setUpdatesEnabled(false); }
  void EndUpdate() override { edit_->setUpdatesEnabled(true); }

 private:
  QLineEdit* edit_;
};

class QtComboBox final : public QtControl<TComboBox> {
 public:
  explicit QtComboBox(QComboBox* box);
  ~QtComboBox() override;
  AnsiString Text() const override { return FromQt(box_->currentText()); }
  void SetText(const AnsiString& value) override;
  std::vector<AnsiString> Items() const override;
  void SetItems(const std::vector<AnsiString>& value) override;
  void SetFont(const TFont& value) override;

 private:
  QComboBox* box_;
  QMetaObject::Connection focusConnection_;
};

// A bar gauge painted by GaugeWidget.
class QtGauge final : public QtControl<TGauge> {
 public:
  explicit QtGauge(GaugeWidget* gauge) : QtControl(gauge, QPalette::Window, QPalette::WindowText), gauge_(gauge) {}
  int MinValue() const override { return gauge_->MinValue(); }
  int MaxValue() const override { return gauge_->MaxValue(); }
  void SetRange(int minValue, int maxValue) override { gauge_->SetRange(minValue, maxValue); }
  int Progress() const override { return gauge_->Progress(); }
  void SetProgress(int value) override { gauge_->SetProgress(value); }
  TColor ForeColor() const override { return FromQColor(gauge_->ForeColor()); }
  void SetForeColor(TColor value) override { gauge_->SetForeColor(ToQColor(value)); }
  TColor Color() const override { return FromQColor(gauge_->BackColor()); }
  void SetColor(TColor value) override { gauge_->SetBackColor(ToQColor(value)); }

 private:
  GaugeWidget* gauge_;
};

// A system progress bar (the modem search).
class QtProgressBar final : public QtControl<TGauge> {
 public:
  explicit QtProgressBar(QProgressBar* bar) : QtControl(bar, QPalette::Base, QPalette::Text), bar_(bar) {}
  int MinValue() const override { return bar_->minimum(); }
  int MaxValue() const override { return bar_->maximum(); }
  void SetRange(int minValue, int maxValue) override { bar_->setRange(minValue, maxValue); }
  int Progress() const override { return bar_->value(); }
  void SetProgress(int value) override;
  TColor ForeColor() const override { return FromQColor(bar_->palette().color(QPalette::Highlight)); }
  void SetForeColor(TColor value) override;

 private:
  QProgressBar* bar_;
};

class QtPageControl final : public QtControl<TPageControl> {
 public:
  explicit QtPageControl(QTabWidget* tabs) : QtControl(tabs, QPalette::Window, QPalette::WindowText), tabs_(tabs) {}
  int PageCount() const override { return tabs_->count(); }
  int ActivePageIndex() const override { return tabs_->currentIndex(); }
  void SetActivePageIndex(int value) override { tabs_->setCurrentIndex(value); }

 private:
  QTabWidget* tabs_;
};

}  // namespace app::qt
