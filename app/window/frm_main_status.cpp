// TfrmMain: the status bar (connection panel, progress gauge, clock), the
// connection events of the modem and its signal and power gauges.

#include <chrono>

#include "app/window/clock_text.h"
#include "app/window/frm_main.h"
#include "app/window/frm_main_design.h"
#include "app/window/zo_tools.h"

namespace app {

namespace {

// Half of a non-negative number rounded to the nearest integer, ties to even.
int HalfRoundedToEven(int n) {
  const int half = n / 2;
  if (n % 2 == 0) return half;
  return half % 2 == 0 ? half : half + 1;
}

constexpr TColor kConnectedPanelColor = 0x80FF00;
constexpr TColor kSignalMiddleColor = 0xFF5300;  // orange

void LogModemLine(TLogView& log, const AnsiString& text, TColor color) {
  AppendLogLine(log, text, 0, 9, "Tahoma", TLogFontStyle::Regular, color);
}

}  // namespace

void TfrmMain::StatusBar1DrawPanel(TCanvas& canvas, int index, const TRect& rect) {
  if (index == 0) {
    const bool connected = zoGSM1_->Connected();
    canvas.FillRect(rect, connected ? kConnectedPanelColor : clRed);
    canvas.FrameRect(rect, clBlack);
    TFont font = view_.StatusBar1->Font();
    font.Bold = true;
    font.Color = connected ? clBlack : clYellow;
    canvas.SetFont(font);
    const AnsiString text = view_.StatusBar1->PanelText(0);
    const int x = rect.Left + HalfRoundedToEven(rect.Width()) - HalfRoundedToEven(canvas.TextWidth(text));
    canvas.TextOut(x, rect.Top + 2, text);
  } else if (index == 1) {
    view_.Gauge1->SetBoundsRect({rect.Left + 1, rect.Top, rect.Left + 1 + rect.Width() - 7, rect.Bottom});
  }
}

void TfrmMain::Timer4Timer() {
  if (view_.StatusBar1->PanelStyle(1) == TPanelStyle::OwnerDraw) return;
  view_.StatusBar1->SetPanelText(1, ClockPanelText(std::chrono::system_clock::now()));
}

void TfrmMain::ZoGSM1Connecting() {
  view_.StatusBar1->SetPanelText(0, Ansi("łączenie..."));
  view_.StatusBar1->Repaint();
  LogModemLine(*view_.LogMemo, Ansi("Próba nawiązania połączenia z modemem GSM - Port ") + zoGSM1_->ComPort(),
               clGray);
}

void TfrmMain::ZoGSM1Connected() {
  view_.StatusBar1->SetPanelStyle(1, TPanelStyle::OwnerDraw);
  view_.StatusBar1->SetPanelText(0, Ansi("Modem OK"));
  view_.StatusBar1->Repaint();
  LogModemLine(*view_.LogMemo, Ansi("Nawiązano połączenie modemem GSM - Port ") + zoGSM1_->ComPort(), clGreen);
}

void TfrmMain::ZoGSM1Disconnected() {
  view_.StatusBar1->SetPanelStyle(1, TPanelStyle::Text);
  view_.StatusBar1->SetPanelText(0, Ansi("Modem wyłączony"));
  view_.StatusBar1->Repaint();
  LogModemLine(*view_.LogMemo, Ansi("Modem GSM odłączony"), clBlack);
  ShowNoModemGauges();
}

void TfrmMain::ShowNoModemGauges() {
  // Values measured on a modem that is gone would pass for the state of the
  // next one.
  design::LoadModemGauges(view_);
}

void TfrmMain::ZoGSM1CheckSignalPower(int signal, bool acPower, int batteryStatus, const std::string& stringSignal) {
  if (stringSignal == "ANT") {
    view_.Gauge3->SetProgress(signal);
    // A value outside 0 to 100 moves the gauge but keeps its colour.
    if (signal >= 0 && signal <= 29) {
      view_.Gauge3->SetForeColor(clRed);
    } else if (signal >= 30 && signal <= 45) {
      view_.Gauge3->SetForeColor(kSignalMiddleColor);
    } else if (signal >= 46 && signal <= 100) {
      view_.Gauge3->SetForeColor(clYellow);
    }
  } else if (stringSignal == "BAT") {
    if (acPower) {
      view_.Label8->SetCaption(Ansi("zasilacz"));
      view_.Gauge2->SetProgress(100);
      view_.Gauge2->SetForeColor(clYellow);
    } else {
      view_.Label8->SetCaption(Ansi("bateria"));
      view_.Gauge2->SetProgress(batteryStatus);
      view_.Gauge2->SetForeColor(batteryStatus < 20 ? clRed : clYellow);
    }
  }
}

}  // namespace app
