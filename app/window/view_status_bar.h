#pragma once
// The status bar and the canvas its owner-drawn panels are painted on.
//
// Threads: main thread only, as the window logic that drives it.

#include <functional>

#include "app/window/view_controls.h"

namespace app {

// Drawing surface handed to the window while it paints a panel.
class TCanvas {
 public:
  virtual ~TCanvas() = default;
  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // A one-pixel outline just inside the rectangle.
  virtual void FrameRect(const TRect& rect, TColor color) = 0;
  // Font of the following TextWidth/TextOut calls.
  virtual void SetFont(const TFont& font) = 0;
  virtual int TextWidth(const AnsiString& text) = 0;
  // Writes text with its top-left corner at (x, y), no background.
  virtual void TextOut(int x, int y, const AnsiString& text) = 0;
};

enum class TPanelStyle { Text, OwnerDraw };

class TStatusBar : public TControl {
 public:
  virtual int PanelCount() const = 0;
  virtual AnsiString PanelText(int index) const = 0;
  virtual void SetPanelText(int index, const AnsiString& value) = 0;
  virtual TPanelStyle PanelStyle(int index) const = 0;
  virtual void SetPanelStyle(int index, TPanelStyle value) = 0;
  virtual int PanelWidth(int index) const = 0;
  // Paints the bar now (owner-drawn panels through OnDrawPanel).
  virtual void Repaint() = 0;
  // Makes `control` a child of the bar, so it can be placed over a panel.
  virtual void HostControl(TControl& control) = 0;

  // Paints an owner-drawn panel: the canvas, the panel's index and rectangle.
  std::function<void(TCanvas& canvas, int index, const TRect& rect)> OnDrawPanel;
};

}  // namespace app
