#include "app/window/frm_main_design.h"

namespace app::design {

namespace {

TFont WithColor(TFont font, TColor color) {
  font.Color = color;
  return font;
}

TFont Bold(TFont font) {
  font.Bold = true;
  return font;
}

void Caption(TLabel* label, const char* utf8) { label->SetCaption(Ansi(utf8)); }
void Caption(TButton* button, const char* utf8) { button->SetCaption(Ansi(utf8)); }
void Caption(TCheckBox* box, const char* utf8) { box->SetCaption(Ansi(utf8)); }

// A counter label with its caption label: same colour, same boldness, same state.
void Counter(TLabel* caption, TLabel* value, const char* captionText, TColor color, bool bold, bool enabled) {
  TFont font = WithColor(FormFont(), color);
  font.Bold = bold;
  for (TLabel* label : {caption, value}) {
    label->SetFont(font);
    label->SetEnabled(enabled);
  }
  Caption(caption, captionText);
  Caption(value, "0");
}

void LoadPages(const TfrmMainView& v) {
  Caption(v.TabSheet1, "Wysyłka masowa");
  Caption(v.TabSheet2, "Ustawienia");
  v.PageControl1->SetActivePageIndex(0);
}

void LoadImportAndText(const TfrmMainView& v) {
  Caption(v.GroupBox1, " Import danych z arkusza ");
  Caption(v.CheckBox3, "Wykluczaj duplikaty");
  v.CheckBox3->SetChecked(true);
  Caption(v.RadioButton1, "Tylko numery telefonów");
  v.RadioButton1->SetChecked(true);
  v.RadioButton1->SetVisible(false);
  Caption(v.RadioButton2, "Numery tel wraz z wiadomościami");
  v.RadioButton2->SetEnabled(false);
  v.RadioButton2->SetVisible(false);

  Caption(v.GroupBox2, " Treść wiadomości  SMS ");
  v.Memo1->SetFont(Bold(WithColor(TFont{"Verdana", 10}, kMemoTextColor)));
  v.Memo1->SetColor(clWhite);
  v.Memo1->SetMaxLength(kMemo1StartLimit);
  v.Memo1->SetText("");
  for (TLabel* label : {v.Label6, v.Label7}) label->SetFont(Bold(WithColor(FormFont(), 0x800040)));
  Caption(v.Label6, "SMS: 0");
  Caption(v.Label7, "Znak: 0");
  Caption(v.CheckBox4, "Zezwalaj na używanie polskich znaków");
  Caption(v.CheckBox5, "Wyślij jako FLASH SMS");
  v.Memo2->SetVisible(false);
  v.Memo2->SetText("");

  Caption(v.GroupBox7, " Obsługa manualna ");
  Caption(v.Label33, "Nr telefonu:");
  v.Edit1->SetText("");
  v.Edit1->SetMaxLength(kEdit1Limit);
  v.Edit1->SetFont(Bold(TFont{"Verdana", 9}));
  v.Edit1->SetColor(clWhite);
  Caption(v.BitBtn6, "Dodaj");
}

void LoadLogAndCounters(const TfrmMainView& v) {
  Caption(v.Label4, "Status wykonywanych zadań:");
  v.Label4->SetFont(WithColor(FormFont(), clGray));
  v.LogMemo->SetColor(clWhite);
  v.LogMemo->SetFont(WithColor(TFont{"Tahoma", 9}, kLogTextColor));
  v.LogMemo->Clear();
  Caption(v.Label5, "TELEFONY");
  Counter(v.lbWszystkie0, v.lbWszystkie, "Wczytane:", clGray, false, true);
  Counter(v.lbPrawidlowe0, v.lbPrawidlowe, "Prawidłowe:", clBlue, true, false);
  Counter(v.lbDuplikaty0, v.lbDuplikaty, "Duplikaty:", clFuchsia, false, false);
  Counter(v.lbKorekty0, v.lbKorekty, "Korekty:", 0xFF8000, false, false);
  Counter(v.lbBledy0, v.lbBledy, "Odrzucone:", clRed, false, false);
}

void LoadSettingsPage(const TfrmMainView& v) {
  Caption(v.GroupBox4, " Kreator ");
  Caption(v.BitBtn5, "Wyszukaj modem GSM");
  v.ProgressBar1->SetRange(0, 100);
  v.ProgressBar1->SetProgress(0);

  Caption(v.GroupBox3, " Port komunikacyjny ");
  v.ComboBox1->SetFont(Bold(WithColor(FormFont(), clBlue)));
  v.ComboBox1->SetText("COM1");

  Caption(v.GroupBox6, " Ustawienia zaawansowane ");
  Caption(v.CheckBox1, "Sprawdzaj stan sygnału anteny");
  Caption(v.CheckBox2, "Sprawdzaj stan zasilania");
  v.CheckBox1->SetChecked(true);
  v.CheckBox2->SetChecked(true);
  Caption(v.BitBtn2, "Zapisz ustawienia");
}

void LoadModemState(const TfrmMainView& v) {
  Caption(v.GroupBox5, " Stan modemu GSM ");
  Caption(v.Label10, "test modemu");
  TFont link = WithColor(FormFont(), clBlue);
  link.Underline = true;
  v.Label10->SetFont(link);
  Caption(v.Label8, "zasilanie");
  Caption(v.Label9, "sygnał anteny");
  for (TGauge* gauge : {v.Gauge2, v.Gauge3}) {
    gauge->SetRange(0, 100);
    gauge->SetProgress(0);
    gauge->SetForeColor(clYellow);
    gauge->SetColor(clBlack);
  }

  v.StatusBar1->SetPanelStyle(0, TPanelStyle::OwnerDraw);
  v.StatusBar1->SetPanelText(0, Ansi("Modem wyłączony"));
  v.StatusBar1->SetPanelStyle(1, TPanelStyle::Text);
  v.StatusBar1->SetPanelText(2, Ansi("kol [-,-]"));
  v.StatusBar1->SetPanelText(3, "");

  v.Gauge1->SetRange(0, 100);
  v.Gauge1->SetProgress(0);
  v.Gauge1->SetForeColor(kGauge1Color);
  v.Gauge1->SetColor(clBlack);
  v.Gauge1->SetVisible(false);

  v.OpenDialog1->SetDefaultExt("*.xls");
  v.OpenDialog1->SetFilter(Ansi(kOpenDialog1Filter));
  v.OpenDialog1->SetFilterIndex(1);
}

}  // namespace

TFont FormFont() { return TFont{"Tahoma", 8}; }

void LoadDesign(const TfrmMainView& v) {
  v.frmMain->SetFont(FormFont());
  v.frmMain->SetCaption(Ansi("Talvane ver.1.02"));
  v.frmMain->SetMinimumSize(kMainMinWidth, kMainMinHeight);
  v.frmMain->SetClientSize(kMainClientWidth, kMainClientHeight);
  LoadPages(v);
  LoadImportAndText(v);
  LoadLogAndCounters(v);
  LoadSettingsPage(v);
  LoadModemState(v);
}

void LoadDesign(const TfrmTelListView& v) {
  v.frmTelList->SetFont(FormFont());
  v.frmTelList->SetCaption(Ansi("Lista numerów"));
  v.frmTelList->SetClientSize(kTelListClientWidth, kTelListClientHeight);
  v.ListBox1->SetColor(kTelListColor);
  v.ListBox1->SetTabWidth(kTelListTabWidth);
  v.ListBox1->Clear();
  v.Usun1->SetCaption(Ansi("Usuń"));
}

}  // namespace app::design
