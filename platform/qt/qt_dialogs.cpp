#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/codepage.h"

namespace platform {
namespace {

QString FromAnsi(const std::string& text) { return QString::fromStdString(AnsiToUtf8(text)); }

QMessageBox::Icon IconFor(DialogIcon icon) {
  switch (icon) {
    case DialogIcon::Error: return QMessageBox::Critical;
    case DialogIcon::Information: return QMessageBox::Information;
    case DialogIcon::Warning: return QMessageBox::Warning;
    case DialogIcon::Question: return QMessageBox::Question;
    case DialogIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

DialogResult QtDialogs::ShowMessage(const std::string& text, const std::string& caption, DialogIcon icon,
                                    DialogButtons buttons) {
  QMessageBox box(IconFor(icon), FromAnsi(caption), FromAnsi(text), QMessageBox::NoButton,
                  parent_ ? parent_ : QApplication::activeWindow());
  if (buttons == DialogButtons::Ok) {
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return DialogResult::Ok;
  }
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  box.setDefaultButton(buttons == DialogButtons::YesNoCancelDefaultNo ? QMessageBox::No : QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);  // closing the box is Cancel
  switch (box.exec()) {
    case QMessageBox::Yes: return DialogResult::Yes;
    case QMessageBox::No: return DialogResult::No;
    default: return DialogResult::Cancel;
  }
}

}  // namespace platform
