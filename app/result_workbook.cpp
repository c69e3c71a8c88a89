#include "app/result_workbook.h"

#include "platform/codepage.h"
#include "xls/cell_heap.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/worksheet.h"

namespace app {

void TResultWorkbook::Create(const std::string& path) {
  book_ = xls::TXLSWorkbook::Create();
  sheet_ = book_->Worksheets().Add();
  path_ = path;
  nextRow_ = 1;
}

void TResultWorkbook::Discard() {
  sheet_ = nullptr;
  book_.reset();
}

void TResultWorkbook::WriteRow(int row, const std::string& number, int colour) {
  if (!sheet_ || row < 1 || row > xls::kRowCount) return;
  const xls::IXLSRange cell = sheet_->Cells()->Item(row, 1);
  cell->SetValue(xls::Variant::Text(platform::AnsiToUnicode(number)));
  cell->Interior()->SetColorIndex(colour);
  cell->SetVerticalAlignment(xls::xlCenter);
  cell->SetHorizontalAlignment(xls::xlCenter);
  cell->SetColumnWidth(15);
}

void TResultWorkbook::AppendResult(const std::string& number, int colour) {
  WriteRow(nextRow_, number, colour);
  ++nextRow_;
}

int TResultWorkbook::Save() {
  if (!book_) return 0;
  return book_->SaveAs(path_);
}

}  // namespace app
