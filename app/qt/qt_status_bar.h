#pragma once
// The status bar: panels side by side, the last one taking the rest of the
// width; text panels show their text centred, owner-drawn panels are painted
// by the window logic through a canvas on a QPainter.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QWidget>
#include <vector>

#include "app/qt/qt_controls.h"
#include "app/window/view_status_bar.h"

namespace app::qt {

class StatusBarWidget;

class QtStatusBar final : public QtControl<TStatusBar> {
 public:
  explicit QtStatusBar(StatusBarWidget* bar);
  int PanelCount() const override;
  AnsiString PanelText(int index) const override;
  void SetPanelText(int index, const AnsiString& value) override;
  TPanelStyle PanelStyle(int index) const override;
  void SetPanelStyle(int index, TPanelStyle value) override;
  int PanelWidth(int index) const override;
  void Repaint() override;
  void HostControl(TControl& control) override;

 private:
  StatusBarWidget* bar_;
};

class StatusBarWidget final : public QWidget {
 public:
  struct Panel {
    int width;
    QString text;
    TPanelStyle style = TPanelStyle::Text;
  };

  StatusBarWidget(const std::vector<int>& widths, QWidget* parent = nullptr);

  std::vector<Panel>& Panels() { return panels_; }
  QRect PanelRect(int index) const;
  // Set by QtStatusBar: paints an owner-drawn panel.
  std::function<void(QPainter& painter, int index, const QRect& rect)> drawPanel;

  QSize sizeHint() const override { return {400, 22}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::vector<Panel> panels_;
};

}  // namespace app::qt
