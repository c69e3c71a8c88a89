#pragma once
// Modal message boxes. The Qt implementation shows a QMessageBox; the
// recording one (tests, console) keeps every box and returns a scripted answer.
//
// Threads: a box belongs to the main thread. CurrentDialogs() may be called
// from any thread; a box raised on another thread (the modem engine's, say)
// is handed to the main thread through the installed main loop's blocking
// hand-over, and the caller waits there for the answer. Install and
// uninstall on the main thread.

#include <string>

namespace platform {

class MainLoop;

enum class DialogIcon { None, Error, Information, Warning, Question };
// YesNoCancelDefaultNo: a question where a hasty Enter must not say yes.
enum class DialogButtons { Ok, YesNoCancel, YesNoCancelDefaultNo };
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

// What a box answers when it is closed without a choice: Ok for an Ok box,
// Cancel for a question.
DialogResult ClosedAnswer(DialogButtons buttons);

// The process-wide dialog service: the installed one, reached on the main
// thread whatever thread calls. Until one is installed, a RecordingDialogs
// answering Ok/Cancel is used, so library code never blocks on a missing UI.
Dialogs& CurrentDialogs();
// `dialogs` and `mainLoop` are not owned; nullptr restores the default. With
// `mainLoop`, boxes raised off its thread wait for the main thread (and get
// ClosedAnswer once the loop has shut down); without it, boxes are shown on
// the caller's thread, which suits only a service usable from any thread
// (RecordingDialogs is).
void InstallDialogs(Dialogs* dialogs, MainLoop* mainLoop = nullptr);

}  // namespace platform
