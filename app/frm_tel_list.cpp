#include "app/frm_tel_list.h"

#include "app/frm_main_design.h"

namespace app {

TfrmTelList::TfrmTelList(const TfrmTelListView& view) : view_(view) {
  design::LoadDesign(view_);
  view_.frmTelList->Hide();
}

}  // namespace app
