#pragma once
// The one QApplication of the Qt tests, on the offscreen platform, shared by
// every test file of the executable.

#include <QApplication>
#include <QRect>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/qt/qt_look.h"

namespace app::qt {

// The screens of the tests' desktop, side by side: a large first screen,
// where the windows open as designed, and the small screens of office
// laptops and netbooks. The offscreen platform has no desktop panels, so a
// small screen here is the free area a desktop leaves on it: 1366 x 768 and
// 1024 x 600 less a 40-pixel panel.
inline constexpr QRect kLargeScreen(0, 0, 1920, 1080);
inline constexpr QRect kLaptopScreen(1920, 0, 1366, 768 - 40);
inline constexpr QRect kNetbookScreen(1920 + 1366, 0, 1024, 600 - 40);

// The offscreen platform's description of those screens, in a file of this
// process (test processes run side by side).
inline std::string WriteTestScreens() {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("talvane_qt_screens_" + std::to_string(::getpid()) + ".json");
  std::ofstream out(file);
  out << "{\"screens\": [";
  const char* names[] = {"large", "laptop", "netbook"};
  const QRect* screens[] = {&kLargeScreen, &kLaptopScreen, &kNetbookScreen};
  for (int i = 0; i < 3; ++i) {
    out << (i ? ", " : "") << "{\"name\": \"" << names[i] << "\", \"x\": " << screens[i]->x()
        << ", \"y\": " << screens[i]->y() << ", \"width\": " << screens[i]->width()
        << ", \"height\": " << screens[i]->height() << ", \"logicalDpi\": 96}";
  }
  out << "]}\n";
  return file.string();
}

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "app_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    const std::string screens = WriteTestScreens();
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str(), 1);
    auto* a = new QApplication(argc, argv);
    std::filesystem::remove(screens);
    RegisterFonts();
    return a;
  }();
  return *application;
}

}  // namespace app::qt
