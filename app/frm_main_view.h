#pragma once
// The elements of the main window, by their names. A view (Qt, memory,
// console) creates them and hands this table to the window logic; the view
// owns the elements and outlives the logic.

#include "app/activity_log.h"
#include "app/view_controls.h"
#include "app/view_form.h"
#include "app/view_status_bar.h"

namespace app {

struct TfrmMainView {
  TForm* frmMain = nullptr;

  TPageControl* PageControl1 = nullptr;
  TLabel* TabSheet1 = nullptr;  // "Wysyłka masowa"
  TLabel* TabSheet2 = nullptr;  // "Ustawienia"

  // Page 1, upper panel.
  TLabel* GroupBox1 = nullptr;
  TButton* BitBtn1 = nullptr;
  TCheckBox* CheckBox3 = nullptr;
  TCheckBox* RadioButton1 = nullptr;
  TCheckBox* RadioButton2 = nullptr;
  TLabel* GroupBox2 = nullptr;
  TEditor* Memo1 = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label7 = nullptr;
  TCheckBox* CheckBox4 = nullptr;
  TCheckBox* CheckBox5 = nullptr;
  TEditor* Memo2 = nullptr;
  TLabel* GroupBox7 = nullptr;
  TLabel* Label33 = nullptr;
  TEditor* Edit1 = nullptr;
  TButton* BitBtn6 = nullptr;

  // Page 1, lower panel.
  TLabel* Label4 = nullptr;
  TLogView* LogMemo = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* lbWszystkie0 = nullptr;
  TLabel* lbWszystkie = nullptr;
  TLabel* lbPrawidlowe0 = nullptr;
  TLabel* lbPrawidlowe = nullptr;
  TLabel* lbDuplikaty0 = nullptr;
  TLabel* lbDuplikaty = nullptr;
  TLabel* lbKorekty0 = nullptr;
  TLabel* lbKorekty = nullptr;
  TLabel* lbBledy0 = nullptr;
  TLabel* lbBledy = nullptr;
  TButton* BitBtn3 = nullptr;
  TButton* BitBtn4 = nullptr;

  // Page 2.
  TLabel* GroupBox4 = nullptr;
  TButton* BitBtn5 = nullptr;
  TGauge* ProgressBar1 = nullptr;
  TLabel* GroupBox3 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TButton* btnZapisz = nullptr;
  TLabel* GroupBox6 = nullptr;
  TCheckBox* CheckBox1 = nullptr;
  TCheckBox* CheckBox2 = nullptr;
  TButton* BitBtn2 = nullptr;

  // Below the pages.
  TLabel* GroupBox5 = nullptr;
  TLabel* Label10 = nullptr;
  TLabel* Label8 = nullptr;
  TGauge* Gauge2 = nullptr;
  TLabel* Label9 = nullptr;
  TGauge* Gauge3 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TGauge* Gauge1 = nullptr;

  TOpenDialog* OpenDialog1 = nullptr;
};

}  // namespace app
