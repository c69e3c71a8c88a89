#pragma once
// The result workbook of the main window: the workbook that receives the
// sending results, its first worksheet, the next-row counter and the path it
// is saved under. Column A holds one number per row, centred, filled bright
// green when its message was sent and red when it failed; the import writes
// the numbers without a fill and the campaign overwrites the rows in the
// order messages complete.
//
// Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "xls/workbook.h"

namespace app {

// Fill colour indexes with a fixed meaning in column A.
inline constexpr int kColourSent = 4;     // bright green
inline constexpr int kColourFailed = 3;   // red
inline constexpr int kColourCorrected = 46;
inline constexpr int kColourRepeated = 38;

class TResultWorkbook {
 public:
  bool Exists() const { return book_ != nullptr; }
  // A new workbook with one worksheet, saved later under `path` (UTF-8);
  // the next-row counter starts at 1.
  void Create(const std::string& path);
  // Frees the workbook; the path stays.
  void Discard();

  const std::string& Path() const { return path_; }
  void SetPath(const std::string& path) { path_ = path; }
  int NextRow() const { return nextRow_; }
  void SetNextRow(int row) { nextRow_ = row; }

  // Writes `number` into column A of `row`: as text, centred both ways,
  // column 15 wide, with the fill `colour` (xls::xlNone for none). A row
  // beyond the sheet is not written.
  void WriteRow(int row, const std::string& number, int colour);
  // Writes the row at the next-row counter and advances it.
  void AppendResult(const std::string& number, int colour);

  // SaveAs under Path(): the file is replaced only by a complete new one.
  // The result code of SaveAs; 0 when there is no workbook.
  int Save();

  xls::TXLSWorkbook* Book() const { return book_.get(); }

 private:
  std::shared_ptr<xls::TXLSWorkbook> book_;
  xls::IXLSWorksheet* sheet_ = nullptr;
  std::string path_;
  int nextRow_ = 1;
};

}  // namespace app
