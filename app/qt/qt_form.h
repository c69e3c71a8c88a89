#pragma once
// A top-level window and the file-open dialog of the Qt view.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QFileDialog>
#include <QObject>
#include <QWidget>

#include "app/qt/qt_convert.h"
#include "app/window/view_form.h"

namespace app::qt {

// A TForm over a top-level widget. Left and Top are the position of the
// client area and Width and Height its size plus TFormBorder: the frame that
// window managers draw differs from one desktop to the next, the client area
// does not, so stored placements come back exactly.
class QtForm final : public QObject, public TForm {
 public:
  explicit QtForm(QWidget* window);
  ~QtForm() override;

  std::string Name() const override { return window_->objectName().toStdString(); }
  AnsiString Caption() const override { return FromQt(window_->windowTitle()); }
  void SetCaption(const AnsiString& value) override { window_->setWindowTitle(ToQt(value)); }
  TFont Font() const override { return font_; }
  void SetFont(const TFont& value) override;

  int Left() const override { return window_->geometry().x(); }
  int Top() const override { return window_->geometry().y(); }
  int Width() const override { return window_->width() + TFormBorder::Width; }
  int Height() const override { return window_->height() + TFormBorder::Height; }
  void SetLeft(int value) override;
  void SetTop(int value) override;
  void SetWidth(int value) override { window_->resize(value - TFormBorder::Width, window_->height()); }
  void SetHeight(int value) override { window_->resize(window_->width(), value - TFormBorder::Height); }
  int ClientWidth() const override { return window_->width(); }
  int ClientHeight() const override { return window_->height(); }
  void SetClientSize(int width, int height) override { window_->resize(width, height); }
  // The designed minimum, or less on a screen too small for it (the pages
  // scroll then).
  void SetMinimumSize(int width, int height) override;
  void UseDefaultPosition() override {}

  int ScreenWidth() const override;
  int ScreenHeight() const override;

  bool Visible() const override { return window_->isVisible(); }
  // Shown again while visible (placed anew, as the phone list is), the
  // window is kept on its screen as a window just shown is.
  void Show() override;
  void Hide() override { window_->hide(); }
  void Close() override { window_->close(); }
  bool HandleAllocated() const override { return window_->windowHandle() != nullptr; }
  void SetZOrder(bool topmost, bool activate) override;
  bool Topmost() const override { return window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

  QWidget* Window() const { return window_; }
  // Makes the window fit the screen it is on: no larger than the screen's
  // free area (the desktop's panels excluded) and, with its frame, inside
  // it. Runs when the window is shown; on a screen large enough for the
  // placement nothing changes, nor does a maximised window.
  void FitToScreen();
  // Runs after the window has accepted to close and is hidden (the main
  // window ends the program from here).
  std::function<void()> AfterClose;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The area of the window's screen its client area may take: the free area
  // less the frame the window manager draws around it.
  QRect ClientArea() const;
  QScreen* Screen() const;
  // The designed minimum, bounded by the screen (a window manager cannot
  // maximise a window whose minimum is larger than the screen).
  void LimitMinimumToScreen();
  void FollowScreenChanges();

  QWidget* window_;
  TFont font_;
  QSize designedMinimum_;
  bool followingScreens_ = false;
};

class QtOpenDialog final : public TOpenDialog {
 public:
  QtOpenDialog(std::string name, QWidget* parent) : name_(std::move(name)), parent_(parent) {}
  std::string Name() const override { return name_; }
  bool Execute() override;

  // The filter in Qt's form ("EXCEL (*.xls);;EXCEL (*.xlsx)").
  QStringList QtFilters() const;

 private:
  std::string name_;
  QWidget* parent_;
};

}  // namespace app::qt
