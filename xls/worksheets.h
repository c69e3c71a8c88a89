#pragma once
// The ordered sheets of a workbook (`IXLSWorkSheets`), positions 1..Count.
// Sheet identifiers count 1, 2, 3, ... and are never reused within the
// workbook; the first sheet added to a workbook without sheets becomes the
// active sheet.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <memory>
#include <string>
#include <vector>

#include "xls/worksheet.h"

namespace xls {

class TXLSWorkbook;

class IXLSWorkSheets {
 public:
  explicit IXLSWorkSheets(TXLSWorkbook& workbook);
  ~IXLSWorkSheets();
  IXLSWorkSheets(const IXLSWorkSheets&) = delete;
  IXLSWorkSheets& operator=(const IXLSWorkSheets&) = delete;

  int Count() const { return static_cast<int>(sheets_.size()); }
  // 1-based; nullptr when the position is below 1 or above Count.
  IXLSWorksheet* Entries(int position) const;
  // Appends a new empty sheet with the next identifier and a default name:
  // the prefix and a number counted from Count + 1, increased while the name
  // would be 32 characters or longer or equals a name already there.
  IXLSWorksheet* Add();

  IXLSWorksheet* ActiveSheet() const { return active_; }
  void SetActiveSheet(IXLSWorksheet* sheet) { active_ = sheet; }
  int PositionOf(const IXLSWorksheet* sheet) const;  // 1-based, 0 when not a sheet of this workbook

  void Clear();

 private:
  std::u16string DefaultName() const;
  bool NameTaken(const std::u16string& name) const;

  TXLSWorkbook& workbook_;
  std::vector<std::unique_ptr<IXLSWorksheet>> sheets_;
  int nextSheetId_ = 1;
  IXLSWorksheet* active_ = nullptr;
};

}  // namespace xls
