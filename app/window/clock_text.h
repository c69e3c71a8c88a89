#pragma once
// The clock of the status bar, in the form Polish users read: day, month and
// year with dots (11.12.2026) and the 24-hour time, whatever the language of
// the desktop.
//
// Threads: any.

#include "app/window/view_controls.h"
#include "platform/clock.h"

namespace app {

// "dd.mm.yyyy hh:mm:ss" in local time; the date alone at exactly midnight.
AnsiString ClockPanelText(platform::SystemTime now);

}  // namespace app
