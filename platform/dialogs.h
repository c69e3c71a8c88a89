#pragma once
// Modal message boxes. The Qt implementation shows a QMessageBox; the
// recording one (tests, console) keeps every box and returns a scripted answer.

#include <string>

namespace platform {

enum class DialogIcon { None, Error, Information, Warning, Question };
enum class DialogButtons { Ok, YesNoCancel };
// Values of the Windows message-box results the program tests for.
enum class DialogResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a modal box; texts are the program's Windows-1250 text. While the box
  // is open the main loop keeps running timers and posted work.
  virtual DialogResult ShowMessage(const std::string& text, const std::string& caption, DialogIcon icon,
                                   DialogButtons buttons) = 0;
};

// The process-wide dialog service. Until one is installed, a RecordingDialogs
// answering Ok/Cancel is used, so library code never blocks on a missing UI.
Dialogs& CurrentDialogs();
void InstallDialogs(Dialogs* dialogs);  // not owned; nullptr restores the default

}  // namespace platform
