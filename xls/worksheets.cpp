#include "xls/worksheets.h"

#include "xls/workbook.h"

namespace xls {

IXLSWorkSheets::IXLSWorkSheets(TXLSWorkbook& workbook) : workbook_(workbook) {}

IXLSWorkSheets::~IXLSWorkSheets() = default;

IXLSWorksheet* IXLSWorkSheets::Entries(int position) const {
  if (position < 1 || position > Count()) return nullptr;
  return sheets_[static_cast<std::size_t>(position - 1)].get();
}

IXLSWorksheet* IXLSWorkSheets::Add() {
  sheets_.push_back(std::make_unique<IXLSWorksheet>(workbook_, nextSheetId_++, DefaultName()));
  IXLSWorksheet* sheet = sheets_.back().get();
  if (sheets_.size() == 1) active_ = sheet;
  return sheet;
}

int IXLSWorkSheets::PositionOf(const IXLSWorksheet* sheet) const {
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    if (sheets_[i].get() == sheet) return static_cast<int>(i) + 1;
  }
  return 0;
}

void IXLSWorkSheets::Clear() {
  sheets_.clear();
  nextSheetId_ = 1;
  active_ = nullptr;
}

bool IXLSWorkSheets::NameTaken(const std::u16string& name) const {
  for (const auto& sheet : sheets_) {
    if (sheet->Name() == name) return true;
  }
  return false;
}

std::u16string IXLSWorkSheets::DefaultName() const {
  const std::u16string& prefix = workbook_.SheetNamePrefix();
  for (long long number = Count() + 1;; ++number) {
    std::u16string digits;
    for (char c : std::to_string(number)) digits.push_back(static_cast<char16_t>(c));
    // A name must stay within 31 characters; with a long prefix the prefix
    // gives way, not the number (a longer number would never fit either).
    std::u16string name = prefix.substr(0, kMaxSheetNameLength - digits.size()) + digits;
    if (!NameTaken(name)) return name;
  }
}

}  // namespace xls
