#include "app/core/result_workbook.h"

#include <algorithm>

#include "app/core/fills.h"
#include "xls/cell_heap.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/worksheet.h"

namespace app {
namespace {

int FillOf(TResultMark mark) {
  switch (mark) {
    case TResultMark::Sent:
      return kFillSent;
    case TResultMark::Uncertain:
      return kFillUncertain;
    case TResultMark::Failed:
      break;
  }
  return kFillFailed;
}

}  // namespace

void TResultWorkbook::Create() {
  book_ = xls::TXLSWorkbook::Create();
  sheet_ = book_->Worksheets().Add();
  lastRow_ = 0;
}

void TResultWorkbook::Discard() {
  sheet_ = nullptr;
  book_.reset();
  lastRow_ = 0;
}

void TResultWorkbook::WriteNumberRow(int row, const AnsiString& number) {
  if (sheet_ == nullptr || row < 1 || row > xls::kRowCount) return;
  const xls::IXLSRange cell = sheet_->Cells()->Item(row, 1);
  cell->SetValue(xls::Variant::AnsiText(number));
  cell->Interior()->SetColorIndex(xls::xlNone);
  cell->SetVerticalAlignment(xls::xlCenter);
  cell->SetHorizontalAlignment(xls::xlCenter);
  cell->SetColumnWidth(15);
  lastRow_ = std::max(lastRow_, row);
}

void TResultWorkbook::WriteList(TNumberList& list) {
  list.NumberRows(1);
  for (int i = 0; i < list.Count(); ++i) WriteNumberRow(list.Recipient(i).row, list[i]);
}

void TResultWorkbook::Mark(int row, TResultMark mark) {
  if (sheet_ == nullptr || row < 1 || row > xls::kRowCount) return;
  sheet_->Cells()->Item(row, 1)->Interior()->SetColorIndex(FillOf(mark));
}

int TResultWorkbook::SaveAs(const std::string& path) { return book_ ? book_->SaveAs(path) : 0; }

}  // namespace app
