#include "platform/dialogs.h"

#include <atomic>

#include "platform/recording_dialogs.h"

namespace platform {
namespace {

std::atomic<Dialogs*> installed{nullptr};

Dialogs& DefaultDialogs() {
  static RecordingDialogs dialogs;
  return dialogs;
}

}  // namespace

Dialogs& CurrentDialogs() {
  Dialogs* dialogs = installed.load();
  return dialogs ? *dialogs : DefaultDialogs();
}

void InstallDialogs(Dialogs* dialogs) { installed.store(dialogs); }

}  // namespace platform
