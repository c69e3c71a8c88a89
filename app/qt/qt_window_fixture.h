#pragma once
// The main window on Qt's offscreen platform with its real widgets, for the
// tests of app/qt: the application object, a private settings store and
// recorded message boxes, and the window logic on the Qt main loop.

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/window/frm_main.h"
#include "app/qt/idle_hook.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_look.h"
#include "app/qt/qt_test_application.h"
#include "app/qt/tel_list_window.h"
#include "app/window/test_support.h"
#include "platform/qt/qt_main_loop.h"

namespace app::qt {

inline QApplication& Application() { return TestApplication(); }

inline QString Utf8(const char* text) { return QString::fromUtf8(text); }

// Runs the event loop until `done` holds; the loop waits between events, so
// the window applies its availability rule as it does for a user.
inline bool WaitFor(const std::function<bool()>& done, int milliseconds) {
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (done()) loop.quit();
  });
  check.start(20);
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

class QtWindow : public ::testing::Test {
 protected:
  QtWindow() { Application(); }
  ~QtWindow() override { Stop(); }

  void Start() {
    mainWindow = std::make_unique<MainWindow>();
    telWindow = std::make_unique<TelListWindow>(mainWindow->Widget());
    telList = std::make_unique<TfrmTelList>(telWindow->View());
    form = std::make_unique<TfrmMain>(loop, mainWindow->View(), *telList, "/opt/talvane/Talvane.exe");
    idle = RunWhenIdle(mainWindow->Widget(), [this] { form->ApplicationIdle(); });
    mainWindow->Form().Show();
    Settle();
  }
  void Stop() {
    QObject::disconnect(idle);
    form.reset();
    telList.reset();
    telWindow.reset();
    mainWindow.reset();
  }
  // Runs the event loop for a moment, so that it empties its queue and
  // waits (the window is idle then).
  void Settle() {
    QEventLoop wait;
    QTimer::singleShot(30, &wait, &QEventLoop::quit);
    wait.exec();
  }

  template <class W>
  W* Find(const char* name) {
    W* widget = mainWindow->Widget()->findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  static QColor TextColor(QWidget* w, QPalette::ColorRole role = QPalette::WindowText) {
    return w->palette().color(QPalette::Active, role);
  }

  testing::TestEnvironment env;
  platform::QtMainLoop loop;
  std::unique_ptr<MainWindow> mainWindow;
  std::unique_ptr<TelListWindow> telWindow;
  std::unique_ptr<TfrmTelList> telList;
  std::unique_ptr<TfrmMain> form;
  QMetaObject::Connection idle;
};

}  // namespace app::qt
