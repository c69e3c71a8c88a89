#pragma once
// The design-time properties of the two windows: captions, initial contents,
// colours, fonts, visibility, enabled states and sizes of every named
// element. Loading the design is the first thing the window logic does with
// a fresh view, so every view starts from the same state.
//
// Threads: main thread only, as the window logic that drives it.

#include "app/window/frm_main_view.h"
#include "app/window/frm_tel_list_view.h"

namespace app::design {

// frmMain.
inline constexpr int kMainClientWidth = 838;
inline constexpr int kMainClientHeight = 752;
inline constexpr int kMainMinWidth = 846;   // outer
inline constexpr int kMainMinHeight = 786;  // outer
inline constexpr int kHeaderHeight = 81;
inline constexpr int kTabWidth = 150;
inline constexpr int kTabHeight = 35;
inline constexpr int kUpperPanelMinHeight = 230;
inline constexpr int kGroupBox2MinHeight = 214;
inline constexpr int kLowerPanelMinHeight = 119;
inline constexpr int kStatusPanelWidths[4] = {150, 200, 80, 50};
inline constexpr int kMemo1StartLimit = 1224;
// "Nr telefonu" takes a number as people write or paste it ("+48 600 100
// 200", "0048 (600) 100-200"): the nine digits are counted after cleaning.
inline constexpr int kEdit1Limit = 24;
// Every kind of file the import reads first, then each kind alone.
inline constexpr const char* kOpenDialog1Filter =
    "Wszystkie obsługiwane (*.xls;*.xlsx;*.csv;*.txt)|*.xls;*.xlsx;*.csv;*.txt|EXCEL (*.xls)|*.xls|"
    "EXCEL (*.xlsx)|*.xlsx|Pliki tekstowe (*.csv;*.txt)|*.csv;*.txt";

// The look of the message editor (set by the availability rule).
inline constexpr TColor kMemoTextColor = 0x3E3E3E;
inline constexpr TColor kMemoConnectedBackground = 0xF0F0F0;
inline constexpr TColor kMemoConnectedTextColor = 0x808080;

inline constexpr TColor kLogTextColor = 0x3E3E3E;
inline constexpr TColor kHeaderNameColor = 0x008000;
inline constexpr TColor kHeaderShadowColor = 0xE8FFE8;
inline constexpr TColor kGauge1Color = 0x80FF00;

// frmTelList.
inline constexpr int kTelListClientWidth = 293;
inline constexpr int kTelListClientHeight = 484;
inline constexpr TColor kTelListColor = 0xFFFF80;
inline constexpr int kTelListTabWidth = 30;

// The window's default font.
TFont FormFont();

void LoadDesign(const TfrmMainView& view);
void LoadDesign(const TfrmTelListView& view);

}  // namespace app::design
