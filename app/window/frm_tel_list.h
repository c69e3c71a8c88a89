#pragma once
// TfrmTelList: the phone list window ("Lista numerów"), created hidden. Its
// list shows a header row and one numbered row per entry of the main
// window's number list; the pop-up menu's "Usuń" removes the selected number
// from both. Closing the window only hides it.
//
// Threads: main thread only.

#include <string>
#include <vector>

#include "app/window/frm_tel_list_view.h"
#include "app/core/number_list.h"
#include "app/window/view_controls.h"

namespace app {

class TfrmTelList {
 public:
  explicit TfrmTelList(const TfrmTelListView& view);
  ~TfrmTelList();
  TfrmTelList(const TfrmTelList&) = delete;
  TfrmTelList& operator=(const TfrmTelList&) = delete;

  const TfrmTelListView& View() const { return view_; }
  bool Visible() const { return view_.frmTelList->Visible(); }
  void Show() { view_.frmTelList->Show(); }
  void Close() { view_.frmTelList->Close(); }

  // The number list the rows mirror and the main window's count of it
  // (lbPrawidlowe with its caption lbPrawidlowe0), for removals.
  void Attach(TNumberList& numbers, TLabel& count, TLabel& countCaption);

  // Removes every row, the header included.
  void Clear();
  // The header row and one row per number, in order.
  void Fill(const std::vector<std::string>& numbers);
  // Places the window at a screen position and shows it.
  void ShowAt(int left, int top);
  void SelectHeader();

  // The pop-up menu opens: "Usuń" only on a number row.
  void PopupMenu1Popup();
  // "Usuń": removes the selected number row, renumbers the rest, updates the
  // count and closes the window when the list is empty.
  void Usun1Click();

  // Row k's text: the ordinal, a tab, the number.
  static AnsiString RowText(int ordinal, const std::string& number);
  static const AnsiString& HeaderText();

 private:
  void Renumber();

  TfrmTelListView view_;
  TNumberList* numbers_ = nullptr;
  TLabel* count_ = nullptr;
  TLabel* countCaption_ = nullptr;
};

}  // namespace app
