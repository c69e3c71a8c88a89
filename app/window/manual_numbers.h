#pragma once
// Numbers typed in one at a time (" Obsługa manualna ", "Dodaj"): a number in
// any form the import takes (app/core/phone_number.h) joins the number list
// under the duplicate rule of "Wykluczaj duplikaty" with the next row of the
// result workbook, the phone list window is rebuilt, and a result workbook is
// started ("manual_out.xls" in the user's documents folder) unless an import
// or an earlier number already made one.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <string>

#include "app/window/frm_main_view.h"
#include "app/window/frm_tel_list.h"
#include "app/core/number_list.h"
#include "app/core/result_workbook.h"

namespace app {

// What the manual entry works on: the window's elements and state.
struct TManualTarget {
  TfrmMainView view;  // a table of pointers to the elements
  TfrmTelList& telList;
  TNumberList& numberList;
  TResultWorkbook& result;
  std::string& resultFilePath;
  std::string folder;  // where a new "manual_out.xls" goes
};

enum class TManualOutcome {
  Refused,  // no national number of nine digits: the warning box was shown
  Added,    // the list grew
  Present,  // already in the list with repeats left out: the list is unchanged
};

// Runs "Dodaj" on the text of Edit1.
TManualOutcome AddManualNumber(const TManualTarget& target);

}  // namespace app
