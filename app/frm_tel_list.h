#pragma once
// TfrmTelList: the phone list window ("Lista numerów"), created hidden. Closing
// it only hides it.

#include "app/frm_tel_list_view.h"

namespace app {

class TfrmTelList {
 public:
  explicit TfrmTelList(const TfrmTelListView& view);
  TfrmTelList(const TfrmTelList&) = delete;
  TfrmTelList& operator=(const TfrmTelList&) = delete;

  const TfrmTelListView& View() const { return view_; }
  bool Visible() const { return view_.frmTelList->Visible(); }
  void Show() { view_.frmTelList->Show(); }
  void Close() { view_.frmTelList->Close(); }

 private:
  TfrmTelListView view_;
};

}  // namespace app
