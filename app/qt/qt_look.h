#pragma once
// Fonts and pictures of the Qt view.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QIcon>

namespace app::qt {

// Makes the fonts the windows are designed with available: Tahoma from the
// fonts-wine package (metric-compatible; bold is drawn from its regular
// face), Verdana as DejaVu Sans (the same metrics as the Vera design, with
// every Polish letter), Times New Roman as Liberation Serif
// (metric-compatible).
void RegisterFonts();

// The program's icon: a green message bubble.
QIcon AppIcon();

}  // namespace app::qt
