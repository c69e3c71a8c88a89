#include "app/core/result_workbook.h"

#include "xls/cell_heap.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/worksheet.h"

namespace app {

void TResultWorkbook::Create() {
  book_ = xls::TXLSWorkbook::Create();
  sheet_ = book_->Worksheets().Add();
  nextRow_ = 1;
}

void TResultWorkbook::Discard() {
  sheet_ = nullptr;
  book_.reset();
  nextRow_ = 1;
}

void TResultWorkbook::WriteNumberRow(int row, const AnsiString& number) { WriteRow(row, number, xls::xlNone); }

void TResultWorkbook::WriteRow(int row, const AnsiString& number, int colour) {
  if (sheet_ == nullptr || row < 1 || row > xls::kRowCount) return;
  const xls::IXLSRange cell = sheet_->Cells()->Item(row, 1);
  cell->SetValue(xls::Variant::AnsiText(number));
  cell->Interior()->SetColorIndex(colour);
  cell->SetVerticalAlignment(xls::xlCenter);
  cell->SetHorizontalAlignment(xls::xlCenter);
  cell->SetColumnWidth(15);
}

void TResultWorkbook::AppendResult(const AnsiString& number, int colour) {
  WriteRow(nextRow_, number, colour);
  ++nextRow_;
}

int TResultWorkbook::SaveAs(const std::string& path) { return book_ ? book_->SaveAs(path) : 0; }

}  // namespace app
