#include "app/result_workbook.h"

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

void TResultWorkbook::WriteNumberRow(int row, const AnsiString& number) {
  const xls::IXLSRange cell = sheet_->Cells()->Item(row, 1);
  cell->SetValue(xls::Variant::AnsiText(number));
  cell->Interior()->SetColorIndex(xls::xlNone);
  cell->SetVerticalAlignment(xls::xlCenter);
  cell->SetHorizontalAlignment(xls::xlCenter);
  cell->SetColumnWidth(15);
}

int TResultWorkbook::SaveAs(const std::string& path) { return book_->SaveAs(path); }

}  // namespace app
