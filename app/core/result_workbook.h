#pragma once
// The result workbook of the main window: a workbook with one worksheet that
// receives one row per number (written by the import, coloured by the
// campaign), a next-row counter and the path it is saved under.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <memory>
#include <string>

#include "app/core/view_types.h"
#include "xls/workbook.h"

namespace app {

class TResultWorkbook {
 public:
  bool Exists() const { return book_ != nullptr; }
  // A new workbook with one new worksheet; the next-row counter starts at 1.
  void Create();
  void Discard();

  xls::TXLSWorkbook* Book() const { return book_.get(); }
  xls::IXLSWorksheet* Sheet() const { return sheet_; }

  int NextRow() const { return nextRow_; }
  void SetNextRow(int row) { nextRow_ = row; }

  // Row `row` (1-based) of column A: the number as text, no fill, centred
  // both ways, in a column 15 characters wide.
  void WriteNumberRow(int row, const AnsiString& number);

  // The same with the fill `colour` (a colour index; xls::xlNone for none).
  // A row beyond the sheet, or without a workbook, is not written.
  void WriteRow(int row, const AnsiString& number, int colour);
  // A campaign's result: the row at the next-row counter, which advances.
  void AppendResult(const AnsiString& number, int colour);

  // Saves the workbook under `path` (a path of this system); the workbook's
  // result code (1 written). The file there is replaced only by a complete
  // new one. 0 when there is no workbook.
  int SaveAs(const std::string& path);

 private:
  std::shared_ptr<xls::TXLSWorkbook> book_;
  xls::IXLSWorksheet* sheet_ = nullptr;
  int nextRow_ = 1;
};

}  // namespace app
