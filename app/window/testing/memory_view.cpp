#include "app/window/testing/memory_view.h"

#include "app/window/frm_main_design.h"

namespace app {

namespace {
std::vector<MemoryStatusBar::Panel> StatusPanels() {
  std::vector<MemoryStatusBar::Panel> panels;
  for (int width : design::kStatusPanelWidths) panels.push_back({width, "", TPanelStyle::Text});
  return panels;
}
}  // namespace

MemoryMainView::MemoryMainView() : StatusBar1("StatusBar1", StatusPanels()) {}

TfrmMainView MemoryMainView::View() {
  TfrmMainView v;
  v.frmMain = &frmMain;
  v.PageControl1 = &PageControl1;
  v.TabSheet1 = &TabSheet1;
  v.TabSheet2 = &TabSheet2;
  v.GroupBox1 = &GroupBox1;
  v.BitBtn1 = &BitBtn1;
  v.CheckBox3 = &CheckBox3;
  v.RadioButton1 = &RadioButton1;
  v.RadioButton2 = &RadioButton2;
  v.GroupBox2 = &GroupBox2;
  v.Memo1 = &Memo1;
  v.Label6 = &Label6;
  v.Label7 = &Label7;
  v.CheckBox4 = &CheckBox4;
  v.CheckBox5 = &CheckBox5;
  v.Memo2 = &Memo2;
  v.GroupBox7 = &GroupBox7;
  v.Label33 = &Label33;
  v.Edit1 = &Edit1;
  v.BitBtn6 = &BitBtn6;
  v.Label4 = &Label4;
  v.LogMemo = &LogMemo;
  v.Label5 = &Label5;
  v.lbWszystkie0 = &lbWszystkie0;
  v.lbWszystkie = &lbWszystkie;
  v.lbPrawidlowe0 = &lbPrawidlowe0;
  v.lbPrawidlowe = &lbPrawidlowe;
  v.lbDuplikaty0 = &lbDuplikaty0;
  v.lbDuplikaty = &lbDuplikaty;
  v.lbKorekty0 = &lbKorekty0;
  v.lbKorekty = &lbKorekty;
  v.lbBledy0 = &lbBledy0;
  v.lbBledy = &lbBledy;
  v.BitBtn3 = &BitBtn3;
  v.BitBtn4 = &BitBtn4;
  v.GroupBox4 = &GroupBox4;
  v.BitBtn5 = &BitBtn5;
  v.ProgressBar1 = &ProgressBar1;
  v.GroupBox3 = &GroupBox3;
  v.ComboBox1 = &ComboBox1;
  v.btnZapisz = &btnZapisz;
  v.GroupBox6 = &GroupBox6;
  v.CheckBox1 = &CheckBox1;
  v.CheckBox2 = &CheckBox2;
  v.BitBtn2 = &BitBtn2;
  v.GroupBox5 = &GroupBox5;
  v.Label10 = &Label10;
  v.Label8 = &Label8;
  v.Gauge2 = &Gauge2;
  v.Label9 = &Label9;
  v.Gauge3 = &Gauge3;
  v.StatusBar1 = &StatusBar1;
  v.Gauge1 = &Gauge1;
  v.OpenDialog1 = &OpenDialog1;
  return v;
}

}  // namespace app
