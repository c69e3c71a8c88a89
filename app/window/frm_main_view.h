#pragma once
// The elements of the main window, by their names. A view (Qt, memory,
// console) creates them and hands this table to the window logic; the view
// owns the elements and outlives the logic.
//
// Threads: main thread only, as the window logic that drives it.

#include "app/window/activity_log.h"
#include "app/window/view_controls.h"
#include "app/window/view_form.h"
#include "app/window/view_status_bar.h"

namespace app {

struct TfrmMainView {
  TForm* frmMain = nullptr;  // the window itself ("Talvane ver.1.02")

  TPageControl* PageControl1 = nullptr;  // the two pages below the header
  TLabel* TabSheet1 = nullptr;  // "Wysyłka masowa"
  TLabel* TabSheet2 = nullptr;  // "Ustawienia"

  // Page 1, upper panel.
  TLabel* GroupBox1 = nullptr;  // group " Import danych z arkusza "
  TButton* BitBtn1 = nullptr;  // "Otwórz plik XLS": imports numbers from a workbook
  TCheckBox* CheckBox3 = nullptr;  // "Wykluczaj duplikaty": the import drops repeated numbers
  TCheckBox* RadioButton1 = nullptr;  // "Tylko numery telefonów" (hidden): numbers only
  TCheckBox* RadioButton2 = nullptr;  // "Numery tel wraz z wiadomościami" (hidden, disabled)
  TLabel* GroupBox2 = nullptr;  // group " Treść wiadomości  SMS "
  TEditor* Memo1 = nullptr;  // the message text the campaign sends
  TLabel* Label6 = nullptr;  // "SMS: n": message parts the text needs
  TLabel* Label7 = nullptr;  // "Znak: n": characters in the text
  TCheckBox* CheckBox4 = nullptr;  // "Zezwalaj na używanie polskich znaków": Polish letters kept (UCS-2)
  TCheckBox* CheckBox5 = nullptr;  // "Wyślij jako FLASH SMS"
  TEditor* Memo2 = nullptr;  // hidden copy of the raw text before normalisation
  TLabel* GroupBox7 = nullptr;  // group " Obsługa manualna ": numbers typed by hand
  TLabel* Label33 = nullptr;  // "Nr telefonu:"
  TEditor* Edit1 = nullptr;  // the number typed by hand (at most 9 digits)
  TButton* BitBtn6 = nullptr;  // "Dodaj": adds the typed number to the list

  // Page 1, lower panel.
  TLabel* Label4 = nullptr;  // "Status wykonywanych zadań:", heading of the log
  TLogView* LogMemo = nullptr;  // the coloured activity log
  TLabel* Label5 = nullptr;  // "TELEFONY", heading of the counters below
  TLabel* lbWszystkie0 = nullptr;  // "Wczytane:" and its count: numbers read
  TLabel* lbWszystkie = nullptr;
  TLabel* lbPrawidlowe0 = nullptr;  // "Prawidłowe:" and its count: numbers on the send list
  TLabel* lbPrawidlowe = nullptr;
  TLabel* lbDuplikaty0 = nullptr;  // "Duplikaty:" and its count: repeated numbers dropped
  TLabel* lbDuplikaty = nullptr;
  TLabel* lbKorekty0 = nullptr;  // "Korekty:" and its count: numbers corrected on import
  TLabel* lbKorekty = nullptr;
  TLabel* lbBledy0 = nullptr;  // "Odrzucone:" and its count: numbers refused
  TLabel* lbBledy = nullptr;
  TButton* BitBtn3 = nullptr;  // "WYŚLIJ": starts the campaign
  TButton* BitBtn4 = nullptr;  // "Zatrzymaj": stops the campaign

  // Page 2.
  TLabel* GroupBox4 = nullptr;  // group " Kreator "
  TButton* BitBtn5 = nullptr;  // "Wyszukaj modem GSM": searches the serial ports for a modem
  TGauge* ProgressBar1 = nullptr;  // progress of the modem search (0..100)
  TLabel* GroupBox3 = nullptr;  // group " Port komunikacyjny "
  TComboBox* ComboBox1 = nullptr;  // the modem's port name
  TButton* btnZapisz = nullptr;  // "Zapisz ustawienia": saves the port
  TLabel* GroupBox6 = nullptr;  // group " Ustawienia zaawansowane "
  TCheckBox* CheckBox1 = nullptr;  // "Sprawdzaj stan sygnału anteny": signal polling
  TCheckBox* CheckBox2 = nullptr;  // "Sprawdzaj stan zasilania": power polling
  TButton* BitBtn2 = nullptr;  // "Zapisz ustawienia": saves the two check boxes

  // Below the pages.
  TLabel* GroupBox5 = nullptr;  // group " Stan modemu GSM ", always visible
  TLabel* Label10 = nullptr;  // "test modemu": a link that tests the connection
  TLabel* Label8 = nullptr;  // "zasilanie", caption of the power gauge
  TGauge* Gauge2 = nullptr;  // the modem's power (0..100)
  TLabel* Label9 = nullptr;  // "sygnał anteny", caption of the signal gauge
  TGauge* Gauge3 = nullptr;  // the antenna signal (0..100)
  TStatusBar* StatusBar1 = nullptr;  // modem state, progress, "kol [-,-]", campaign note
  TGauge* Gauge1 = nullptr;  // campaign progress, drawn inside status panel 1 (hidden)

  TOpenDialog* OpenDialog1 = nullptr;  // the file dialog of the import
};

}  // namespace app
