#pragma once
// The memory views of the two windows: every named element as a memory
// element the tests can act on and look at.
//
// Threads: main thread only, as the window logic that drives it.

#include "app/window/frm_main_view.h"
#include "app/window/frm_tel_list_view.h"
#include "app/window/testing/memory_controls.h"
#include "app/window/testing/memory_form.h"
#include "app/window/testing/memory_log.h"

namespace app {

struct MemoryMainView {
  MemoryMainView();
  MemoryMainView(const MemoryMainView&) = delete;
  MemoryMainView& operator=(const MemoryMainView&) = delete;

  // The table the window logic works with.
  TfrmMainView View();

  MemoryForm frmMain{"frmMain"};
  MemoryPageControl PageControl1{"PageControl1", 2};
  MemoryLabel TabSheet1{"TabSheet1"}, TabSheet2{"TabSheet2"};
  MemoryLabel GroupBox1{"GroupBox1"};
  MemoryButton BitBtn1{"BitBtn1"};
  MemoryCheckBox CheckBox3{"CheckBox3"}, RadioButton1{"RadioButton1"}, RadioButton2{"RadioButton2"};
  MemoryLabel GroupBox2{"GroupBox2"};
  MemoryEditor Memo1{"Memo1"};
  MemoryLabel Label6{"Label6"}, Label7{"Label7"};
  MemoryCheckBox CheckBox4{"CheckBox4"}, CheckBox5{"CheckBox5"};
  MemoryEditor Memo2{"Memo2"};
  MemoryLabel GroupBox7{"GroupBox7"}, Label33{"Label33"};
  MemoryEditor Edit1{"Edit1"};
  MemoryButton BitBtn6{"BitBtn6"};
  MemoryLabel Label4{"Label4"};
  MemoryLog LogMemo{"LogMemo"};
  MemoryLabel Label5{"Label5"};
  MemoryLabel lbWszystkie0{"lbWszystkie0"}, lbWszystkie{"lbWszystkie"};
  MemoryLabel lbPrawidlowe0{"lbPrawidlowe0"}, lbPrawidlowe{"lbPrawidlowe"};
  MemoryLabel lbDuplikaty0{"lbDuplikaty0"}, lbDuplikaty{"lbDuplikaty"};
  MemoryLabel lbKorekty0{"lbKorekty0"}, lbKorekty{"lbKorekty"};
  MemoryLabel lbBledy0{"lbBledy0"}, lbBledy{"lbBledy"};
  MemoryButton BitBtn3{"BitBtn3"}, BitBtn4{"BitBtn4"};
  MemoryLabel GroupBox4{"GroupBox4"};
  MemoryButton BitBtn5{"BitBtn5"};
  MemoryGauge ProgressBar1{"ProgressBar1"};
  MemoryLabel GroupBox3{"GroupBox3"};
  MemoryComboBox ComboBox1{"ComboBox1"};
  MemoryButton btnZapisz{"btnZapisz"};
  MemoryLabel GroupBox6{"GroupBox6"};
  MemoryCheckBox CheckBox1{"CheckBox1"}, CheckBox2{"CheckBox2"};
  MemoryButton BitBtn2{"BitBtn2"};
  MemoryLabel GroupBox5{"GroupBox5"}, Label10{"Label10"}, Label8{"Label8"};
  MemoryGauge Gauge2{"Gauge2"};
  MemoryLabel Label9{"Label9"};
  MemoryGauge Gauge3{"Gauge3"};
  MemoryStatusBar StatusBar1;
  MemoryGauge Gauge1{"Gauge1"};
  MemoryOpenDialog OpenDialog1{"OpenDialog1"};
};

struct MemoryTelListView {
  TfrmTelListView View() { return {&frmTelList, &ListBox1, &Usun1}; }

  MemoryForm frmTelList{"frmTelList"};
  MemoryListBox ListBox1{"ListBox1"};
  MemoryMenuItem Usun1{"Usun1"};
};

}  // namespace app
