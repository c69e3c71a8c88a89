#include "app/qt/qt_form.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace app::qt {

QtForm::QtForm(QWidget* window) : window_(window) { window_->installEventFilter(this); }

QtForm::~QtForm() { window_->removeEventFilter(this); }

void QtForm::SetFont(const TFont& value) {
  font_ = value;
  window_->setFont(ToQFont(value));
}

void QtForm::SetLeft(int value) {
  QRect geometry = window_->geometry();
  geometry.moveLeft(value);
  window_->setGeometry(geometry);
}

void QtForm::SetTop(int value) {
  QRect geometry = window_->geometry();
  geometry.moveTop(value);
  window_->setGeometry(geometry);
}

void QtForm::SetMinimumSize(int width, int height) {
  designedMinimum_ = QSize(width - TFormBorder::Width, height - TFormBorder::Height);
  LimitMinimumToScreen();
}

QScreen* QtForm::Screen() const {
  // The screen under the middle of the window: the one it will be shown on
  // where the placement was restored onto another screen than the first.
  QScreen* screen = QGuiApplication::screenAt(window_->geometry().center());
  return screen ? screen : window_->screen();
}

QRect QtForm::ClientArea() const {
  const QScreen* screen = Screen();
  if (!screen) return {};
  // The frame is known once the window manager has drawn it; before that the
  // usual one is assumed: the border split evenly but for the title bar.
  QMargins frame(TFormBorder::Width / 2, TFormBorder::Height - TFormBorder::Width / 2, TFormBorder::Width / 2,
                 TFormBorder::Width / 2);
  if (window_->isVisible() && window_->frameGeometry() != window_->geometry()) {
    const QRect outer = window_->frameGeometry();
    const QRect inner = window_->geometry();
    frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                     outer.bottom() - inner.bottom());
  }
  return screen->availableGeometry() - frame;
}

void QtForm::LimitMinimumToScreen() {
  if (designedMinimum_.isEmpty()) return;  // no minimum designed
  const QRect area = ClientArea();
  window_->setMinimumSize(area.isEmpty() ? designedMinimum_ : designedMinimum_.boundedTo(area.size()));
}

void QtForm::FitToScreen() {
  LimitMinimumToScreen();
  const QRect area = ClientArea();
  if (area.isEmpty() || window_->isMaximized() || window_->isFullScreen()) return;
  QRect geometry = window_->geometry();
  geometry.setSize(geometry.size().boundedTo(area.size()));
  if (geometry.right() > area.right()) geometry.moveRight(area.right());
  if (geometry.bottom() > area.bottom()) geometry.moveBottom(area.bottom());
  if (geometry.left() < area.left()) geometry.moveLeft(area.left());
  if (geometry.top() < area.top()) geometry.moveTop(area.top());
  if (geometry != window_->geometry()) window_->setGeometry(geometry);
}

void QtForm::FollowScreenChanges() {
  QWindow* handle = window_->windowHandle();
  if (followingScreens_ || !handle) return;
  followingScreens_ = true;
  // Dragged onto a smaller screen, the window can be made as small as that
  // screen; its place is the window manager's business while it moves.
  connect(handle, &QWindow::screenChanged, this, [this] { LimitMinimumToScreen(); });
}

int QtForm::ScreenWidth() const {
  const QScreen* screen = window_->screen();
  return screen ? screen->geometry().width() : 0;
}

int QtForm::ScreenHeight() const {
  const QScreen* screen = window_->screen();
  return screen ? screen->geometry().height() : 0;
}

void QtForm::SetZOrder(bool topmost, bool activate) {
  if (Topmost() != topmost) {
    // Changing the flags hides the window; it comes back where it was.
    const bool visible = window_->isVisible();
    const QRect geometry = window_->geometry();
    window_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    window_->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    window_->setGeometry(geometry);
    if (visible) window_->show();
    window_->setAttribute(Qt::WA_ShowWithoutActivating, false);
  }
  if (activate) {
    window_->raise();
    window_->activateWindow();
  }
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  if (event->type() == QEvent::Show && !event->spontaneous()) {
    if (OnShow) OnShow();  // restores the placement
    FitToScreen();
    FollowScreenChanges();
  } else if (event->type() == QEvent::Close) {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(canClose);
    if (!canClose) {
      event->ignore();
      return true;
    }
    if (OnClose) OnClose();
    event->accept();
    if (AfterClose) AfterClose();
  }
  return false;
}

QStringList QtOpenDialog::QtFilters() const {
  const QStringList parts = ToQt(Filter()).split('|');
  QStringList filters;
  // Qt separates the patterns of one filter by blanks, the dialog's filter text by ";".
  for (int i = 0; i + 1 < parts.size(); i += 2) filters << QString(parts[i]).replace(';', ' ');
  return filters;
}

bool QtOpenDialog::Execute() {
  const QStringList filters = QtFilters();
  const int index = FilterIndex();
  QString selected = index >= 1 && index <= filters.size() ? filters[index - 1] : QString();
  const QString start = FileName().empty() ? QString::fromStdString(InitialDir())
                                           : QFileInfo(QString::fromStdString(FileName())).absolutePath();
  const QString chosen = QFileDialog::getOpenFileName(parent_, QString(), start, filters.join(";;"), &selected);
  if (chosen.isEmpty()) return false;
  SetFileName(chosen.toStdString());
  SetFilterIndex(static_cast<int>(filters.indexOf(selected)) + 1);
  return true;
}

}  // namespace app::qt
