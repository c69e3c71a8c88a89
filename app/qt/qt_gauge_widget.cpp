#include "app/qt/qt_gauge_widget.h"

#include <QPainter>

#include <algorithm>

namespace app::qt {

GaugeWidget::GaugeWidget(QWidget* parent) : QWidget(parent) { setMinimumHeight(8); }

void GaugeWidget::SetRange(int minValue, int maxValue) {
  if (minValue == min_ && maxValue == max_) return;
  min_ = minValue;
  max_ = maxValue;
  update();
}

void GaugeWidget::SetProgress(int value) {
  if (value == progress_) return;
  progress_ = value;
  update();
}

void GaugeWidget::SetForeColor(const QColor& value) {
  if (value == fore_) return;
  fore_ = value;
  update();
}

void GaugeWidget::SetBackColor(const QColor& value) {
  if (value == back_) return;
  back_ = value;
  update();
}

int GaugeWidget::Percent() const {
  if (max_ <= min_) return 0;
  const long long done = std::clamp(progress_, min_, max_) - min_;
  return static_cast<int>(done * 100 / (max_ - min_));
}

void GaugeWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  painter.fillRect(area, back_);
  const int filled = area.width() * Percent() / 100;
  painter.fillRect(QRect(area.left(), area.top(), filled, area.height()), fore_);
  painter.setPen(QColor(0x80, 0x80, 0x80));
  painter.drawRect(area.adjusted(0, 0, -1, -1));
}

}  // namespace app::qt
