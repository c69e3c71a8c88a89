#pragma once
// The result workbook of the main window: a workbook with one worksheet that
// receives one row per recipient of the number list (written when the
// recipient joins the list, coloured by the campaign on the recipient's own
// row).
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <memory>
#include <string>

#include "app/core/number_list.h"
#include "app/core/view_types.h"
#include "xls/workbook.h"

namespace app {

enum class TResultMark { Sent, Failed, Uncertain };

class TResultWorkbook {
 public:
  bool Exists() const { return book_ != nullptr; }
  // A new workbook with one new worksheet, no row written yet.
  void Create();
  void Discard();

  xls::TXLSWorkbook* Book() const { return book_.get(); }
  xls::IXLSWorksheet* Sheet() const { return sheet_; }

  // The row after the last one written (1 in a new workbook): where a
  // recipient that joins the list later gets its own row.
  int NextFreeRow() const { return lastRow_ + 1; }

  // Row `row` (1-based) of column A: the number as text, no fill, centred
  // both ways, in a column 15 characters wide. A row beyond the sheet, or
  // without a workbook, is not written.
  void WriteNumberRow(int row, const AnsiString& number);
  // Gives the recipients of `list` the rows 1, 2, ... in list order and
  // writes their numbers there without a fill.
  void WriteList(TNumberList& list);

  // A campaign's result for the recipient of row `row`: column A filled
  // bright green (sent), red (failed) or yellow (it may have been sent), its
  // number left as written.
  void Mark(int row, TResultMark mark);

  // Saves the workbook under `path` (a path of this system); the workbook's
  // result code (1 written). The file there is replaced only by a complete
  // new one. 0 when there is no workbook.
  int SaveAs(const std::string& path);

 private:
  std::shared_ptr<xls::TXLSWorkbook> book_;
  xls::IXLSWorksheet* sheet_ = nullptr;
  int lastRow_ = 0;
};

}  // namespace app
