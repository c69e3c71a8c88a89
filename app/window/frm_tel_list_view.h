#pragma once
// The elements of the phone list window.
//
// Threads: main thread only, as the window logic that drives it.

#include "app/window/view_form.h"
#include "app/window/view_list_box.h"

namespace app {

struct TfrmTelListView {
  TForm* frmTelList = nullptr;
  TListBox* ListBox1 = nullptr;
  TMenuItem* Usun1 = nullptr;  // the one entry of PopupMenu1
};

}  // namespace app
