#include "platform/dialogs.h"

#include <atomic>

#include "platform/main_loop.h"
#include "platform/recording_dialogs.h"

namespace platform {
namespace {

std::atomic<Dialogs*> installed{nullptr};
std::atomic<MainLoop*> installedLoop{nullptr};

Dialogs& DefaultDialogs() {
  static RecordingDialogs dialogs;
  return dialogs;
}

Dialogs& InstalledDialogs() {
  Dialogs* dialogs = installed.load();
  return dialogs ? *dialogs : DefaultDialogs();
}

// The face CurrentDialogs() shows every caller while a main loop is
// installed: the installed service, on the main thread.
class MainThreadDialogs final : public Dialogs {
 public:
  DialogResult ShowMessage(const std::string& text, const std::string& caption, DialogIcon icon,
                           DialogButtons buttons) override {
    MainLoop* loop = installedLoop.load();
    if (loop == nullptr || loop->IsMainThread()) return InstalledDialogs().ShowMessage(text, caption, icon, buttons);
    DialogResult answer = ClosedAnswer(buttons);
    // The service is looked up again on the main thread, where it is
    // installed and uninstalled, so the box never reaches one just removed.
    loop->InvokeBlocking([&] { answer = InstalledDialogs().ShowMessage(text, caption, icon, buttons); });
    return answer;
  }
};

}  // namespace

DialogResult ClosedAnswer(DialogButtons buttons) {
  return buttons == DialogButtons::Ok ? DialogResult::Ok : DialogResult::Cancel;
}

Dialogs& CurrentDialogs() {
  static MainThreadDialogs onMainThread;
  return installedLoop.load() ? onMainThread : InstalledDialogs();
}

void InstallDialogs(Dialogs* dialogs, MainLoop* mainLoop) {
  installed.store(dialogs);
  installedLoop.store(dialogs ? mainLoop : nullptr);
}

}  // namespace platform
