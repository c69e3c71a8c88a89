#include "app/window/frm_tel_list.h"

#include "app/window/frm_main_design.h"
#include "platform/text.h"

namespace app {

TfrmTelList::TfrmTelList(const TfrmTelListView& view) : view_(view) {
  design::LoadDesign(view_);
  view_.frmTelList->Hide();
  view_.ListBox1->OnPopup = [this] { PopupMenu1Popup(); };
  view_.Usun1->OnClick = [this] { Usun1Click(); };
}

TfrmTelList::~TfrmTelList() {
  // The view outlives the logic: leave it no handler that points here.
  view_.ListBox1->OnPopup = nullptr;
  view_.Usun1->OnClick = nullptr;
}

void TfrmTelList::Attach(TNumberList& numbers, TLabel& count, TLabel& countCaption) {
  numbers_ = &numbers;
  count_ = &count;
  countCaption_ = &countCaption;
}

const AnsiString& TfrmTelList::HeaderText() {
  static const AnsiString header = " L.p.\tNumer telefonu";
  return header;
}

AnsiString TfrmTelList::RowText(int ordinal, const std::string& number) {
  return std::to_string(ordinal) + "\t" + number;
}

void TfrmTelList::Clear() { view_.ListBox1->Clear(); }

void TfrmTelList::Fill(const std::vector<std::string>& numbers) {
  TListBox& list = *view_.ListBox1;
  list.Clear();
  list.Add(HeaderText());
  for (std::size_t i = 0; i < numbers.size(); ++i) list.Add(RowText(static_cast<int>(i) + 1, numbers[i]));
}

void TfrmTelList::ShowAt(int left, int top) {
  view_.frmTelList->SetLeft(left);
  view_.frmTelList->SetTop(top);
  view_.frmTelList->Show();
}

void TfrmTelList::SelectHeader() { view_.ListBox1->SetItemIndex(0); }

void TfrmTelList::PopupMenu1Popup() { view_.Usun1->SetEnabled(view_.ListBox1->ItemIndex() > 0); }

void TfrmTelList::Usun1Click() {
  TListBox& list = *view_.ListBox1;
  const int row = list.ItemIndex();
  if (row <= 0 || row >= list.Count()) return;
  list.Delete(row);
  if (numbers_ != nullptr && row - 1 < numbers_->Count()) numbers_->Delete(row - 1);
  const bool empty = numbers_ == nullptr || numbers_->Empty();
  if (count_ != nullptr) {
    count_->SetCaption(std::to_string(numbers_ ? numbers_->Count() : 0));
    count_->SetEnabled(!empty);
    countCaption_->SetEnabled(!empty);
  }
  Renumber();
  if (empty) Close();
}

void TfrmTelList::Renumber() {
  TListBox& list = *view_.ListBox1;
  for (int row = 1; row < list.Count(); ++row) {
    const AnsiString text = list.Item(row);
    const std::size_t tab = text.find('\t');
    const std::string_view after = tab == AnsiString::npos ? std::string_view(text) : std::string_view(text).substr(tab + 1);
    const std::string_view number = platform::TrimBlanks(after);
    list.SetItem(row, RowText(row, std::string(number)));
  }
}

}  // namespace app
