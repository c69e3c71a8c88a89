#pragma once
// A horizontal bar gauge: the share of the range filled in the fore colour
// over the back colour.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QColor>
#include <QWidget>

namespace app::qt {

class GaugeWidget final : public QWidget {
 public:
  explicit GaugeWidget(QWidget* parent = nullptr);

  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  void SetRange(int minValue, int maxValue);
  int Progress() const { return progress_; }
  void SetProgress(int value);
  QColor ForeColor() const { return fore_; }
  void SetForeColor(const QColor& value);
  QColor BackColor() const { return back_; }
  void SetBackColor(const QColor& value);
  // The share of the range reached, 0 to 100.
  int Percent() const;

  QSize sizeHint() const override { return {100, 16}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int progress_ = 0;
  QColor fore_ = Qt::black;
  QColor back_ = Qt::white;
};

}  // namespace app::qt
