#include "app/qt/qt_status_bar.h"

#include <QFontMetrics>
#include <QPainter>

namespace app::qt {

namespace {

// The window logic's canvas on a painter.
class PainterCanvas final : public TCanvas {
 public:
  explicit PainterCanvas(QPainter& painter) : painter_(painter) {}
  void FillRect(const TRect& rect, TColor color) override {
    painter_.fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), ToQColor(color));
  }
  void FrameRect(const TRect& rect, TColor color) override {
    painter_.setPen(ToQColor(color));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
  }
  void SetFont(const TFont& font) override {
    painter_.setFont(ToQFont(font));
    painter_.setPen(ToQColor(font.Color));
  }
  int TextWidth(const AnsiString& text) override {
    return QFontMetrics(painter_.font()).horizontalAdvance(ToQt(text));
  }
  void TextOut(int x, int y, const AnsiString& text) override {
    const QFontMetrics metrics(painter_.font());
    painter_.drawText(QPoint(x, y + metrics.ascent()), ToQt(text));
  }

 private:
  QPainter& painter_;
};

}  // namespace

StatusBarWidget::StatusBarWidget(const std::vector<int>& widths, QWidget* parent) : QWidget(parent) {
  for (int width : widths) panels_.push_back({width, QString(), TPanelStyle::Text});
  setFixedHeight(22);
}

QRect StatusBarWidget::PanelRect(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += panels_[i].width + 2;
  int width = panels_[index].width;
  if (index + 1 == static_cast<int>(panels_.size())) width = std::max(width, this->width() - left);
  return QRect(left, 2, width, height() - 2);
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  for (int i = 0; i < static_cast<int>(panels_.size()); ++i) {
    const QRect r = PanelRect(i);
    painter.save();
    if (panels_[i].style == TPanelStyle::OwnerDraw) {
      if (drawPanel) drawPanel(painter, i, r);
    } else {
      painter.setPen(palette().color(QPalette::Mid));
      painter.drawRect(r.adjusted(0, 0, -1, -1));
      painter.setPen(palette().color(QPalette::WindowText));
      painter.drawText(r, Qt::AlignCenter, panels_[i].text);
    }
    painter.restore();
  }
}

void StatusBarWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  update();
}

QtStatusBar::QtStatusBar(StatusBarWidget* bar) : QtControl(bar, QPalette::Window, QPalette::WindowText), bar_(bar) {
  bar_->drawPanel = [this](QPainter& painter, int index, const QRect& r) {
    if (!OnDrawPanel) return;
    PainterCanvas canvas(painter);
    canvas.SetFont(Font());
    OnDrawPanel(canvas, index, TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  };
}

int QtStatusBar::PanelCount() const { return static_cast<int>(bar_->Panels().size()); }

AnsiString QtStatusBar::PanelText(int index) const { return FromQt(bar_->Panels().at(index).text); }

void QtStatusBar::SetPanelText(int index, const AnsiString& value) {
  const QString text = ToQt(value);
  if (bar_->Panels().at(index).text == text) return;
  bar_->Panels().at(index).text = text;
  bar_->update();
}

TPanelStyle QtStatusBar::PanelStyle(int index) const { return bar_->Panels().at(index).style; }

void QtStatusBar::SetPanelStyle(int index, TPanelStyle value) {
  if (bar_->Panels().at(index).style == value) return;
  bar_->Panels().at(index).style = value;
  bar_->update();
}

int QtStatusBar::PanelWidth(int index) const { return bar_->Panels().at(index).width; }

void QtStatusBar::Repaint() { bar_->repaint(); }

void QtStatusBar::HostControl(TControl& control) {
  // Every element of the Qt view is a QtControl over its widget.
  if (auto* hosted = dynamic_cast<QtElement*>(&control)) {
    const bool visible = !hosted->Widget()->isHidden();
    hosted->Widget()->setParent(bar_);
    hosted->Widget()->setVisible(visible);
  }
}

}  // namespace app::qt
