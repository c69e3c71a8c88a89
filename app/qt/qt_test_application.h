#pragma once
// The one QApplication of the Qt tests, on the offscreen platform, shared by
// every test file of the executable.

#include <QApplication>

#include <cstdlib>

#include "app/qt/qt_look.h"

namespace app::qt {

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "app_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    auto* a = new QApplication(argc, argv);
    RegisterFonts();
    return a;
  }();
  return *application;
}

}  // namespace app::qt
