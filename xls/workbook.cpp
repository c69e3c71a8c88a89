#include "xls/workbook.h"

#include "platform/codepage.h"
#include "xls/biff_writer.h"

namespace xls {

std::shared_ptr<TXLSWorkbook> TXLSWorkbook::Create() { return std::make_shared<TXLSWorkbook>(); }

TXLSWorkbook::TXLSWorkbook() : sheets_(*this) {}

TXLSWorkbook::~TXLSWorkbook() {
  // Sheets go first: their ranges refer back to the workbook's tables.
  sheets_.Clear();
}

void TXLSWorkbook::Clear() {
  sheets_.Clear();
  strings_.Clear();
  xfList_.Clear();
  fonts_.Clear();
  numFormats_.Clear();
  codePage_ = 1252;
  a1ReferenceStyle_ = true;
  date1904_ = false;
  formatRead_ = FileFormat::None;
  openedEncrypted_ = false;
  saveLosses_ = 0;
  firstVisibleTab_ = 0;
  vbaStorage_.reset();
  codeName_.clear();
  names_.clear();
  externals_ = TXLSExternals{};
  protection_ = TXLSWorkbookProtection{};
  drawingGroup_.clear();
}

int TXLSWorkbook::SaveAs(std::u16string_view path) { return TXLSWriter(*this).SaveAs(path); }

int TXLSWorkbook::SaveAs(const std::string& utf8Path) { return SaveAs(platform::Utf8ToUtf16(utf8Path)); }

}  // namespace xls
