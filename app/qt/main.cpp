// talvane: the main window of Talvane.

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/window/frm_main.h"
#include "app/window/frm_tel_list.h"
#include "app/qt/idle_hook.h"
#include "app/qt/main_window.h"
#include "app/qt/polish_language.h"
#include "app/qt/qt_look.h"
#include "app/qt/tel_list_window.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_main_loop.h"
#include "talvane_version.h"

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] != '\0';
}

// Without a display the window system library would stop the program with a
// message about plugins; say what is wrong instead.
bool HasDisplay() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

constexpr char kHelp[] =
    "usage: talvane [--help | --version]\n"
    "Talvane sends one SMS text to a list of mobile numbers through a GSM modem.\n"
    "It opens its window (in Polish) in the graphical session; talvane-cli runs the\n"
    "same work from the console. See man talvane.\n";

// --help and --version answer without a display; any other argument is a
// usage error. Returns the exit status when the program ends here.
std::optional<int> ReadCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (argument == "--version") {
      std::puts(TALVANE_VERSION_TEXT);
      return 0;
    }
    // Qt's own options (-platform, -style ...) pass through to QApplication.
    if (argument.starts_with("--")) {
      std::fprintf(stderr, "talvane: unknown option '%s'\n%s", argument.c_str(), kHelp);
      return 2;
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = ReadCommandLine(argc, argv)) return *status;
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "talvane: no graphical display. Talvane is a desktop program: start it in a graphical session "
                 "(DISPLAY or WAYLAND_DISPLAY must be set).\n");
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName("Talvane");
  const app::qt::PolishLanguage polish;
  // Closing the main window ends the program, whatever other window is open.
  QApplication::setQuitOnLastWindowClosed(false);
  app::qt::RegisterFonts();
  QApplication::setWindowIcon(app::qt::AppIcon());

  platform::QtMainLoop loop;
  app::qt::MainWindow mainWindow;
  platform::QtDialogs dialogs(mainWindow.Widget());
  platform::InstallDialogs(&dialogs, &loop);

  int status = 0;
  {
    app::qt::TelListWindow telListWindow(mainWindow.Widget());
    app::TfrmTelList frmTelList(telListWindow.View());
    app::TfrmMain frmMain(loop, mainWindow.View(), frmTelList);
    if (const char* port = std::getenv("TALVANE_START_PORT"); port && port[0] != '\0') {
      frmMain.UseStartPort(port);
    }
    mainWindow.Form().AfterClose = [] { QApplication::quit(); };
    // The availability rule runs whenever the event queue has become empty.
    const QMetaObject::Connection idle = app::qt::RunWhenIdle(&application, [&frmMain] { frmMain.ApplicationIdle(); });
    mainWindow.Form().Show();
    status = QApplication::exec();
    mainWindow.Form().AfterClose = nullptr;
    QObject::disconnect(idle);
  }
  platform::InstallDialogs(nullptr);
  loop.Shutdown();
  return status;
}
