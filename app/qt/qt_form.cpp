#include "app/qt/qt_form.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QScreen>
#include <QShowEvent>

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
  window_->setMinimumSize(width - TFormBorder::Width, height - TFormBorder::Height);
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
    if (OnShow) OnShow();
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
  const QString start =
      FileName().empty() ? QString() : QFileInfo(QString::fromStdString(FileName())).absolutePath();
  const QString chosen = QFileDialog::getOpenFileName(parent_, QString(), start, filters.join(";;"), &selected);
  if (chosen.isEmpty()) return false;
  SetFileName(chosen.toStdString());
  SetFilterIndex(static_cast<int>(filters.indexOf(selected)) + 1);
  return true;
}

}  // namespace app::qt
