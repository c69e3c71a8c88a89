#pragma once
// The in-memory workbook (`TXLSWorkbook`): its sheets, the cell-format table
// with fonts and number formats, the shared string table, the palette and
// the workbook settings, plus everything a file read brings along so that
// SaveAs writes it back (names, external references, protection, the drawing
// group, the VBA project storage).
//
// A workbook's lifetime may be shared (Create gives a shared_ptr) or owned
// outright; sheets, ranges and views must not outlive it. The model belongs
// to one thread at a time and has no locks.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "xls/fonts.h"
#include "xls/formula.h"
#include "xls/num_formats.h"
#include "xls/palette.h"
#include "xls/result_codes.h"
#include "xls/string_table.h"
#include "xls/workbook_parts.h"
#include "xls/worksheets.h"
#include "xls/xf_list.h"

namespace xls {

class TXLSFileStorage;

// Xlsx and Text are read only: a workbook read from them is saved as BIFF8.
enum class FileFormat : std::uint8_t { None, Biff5, Biff8, Xlsx, Text };

// What a file read held that a BIFF8 save cannot carry (SaveLosses() bits).
inline constexpr std::uint32_t kLossSkippedSheets = 1u << 0;   // macro sheets, modules, dialogs, workspaces
inline constexpr std::uint32_t kLossBiff5Objects = 1u << 1;    // BIFF5 notes, drawings, charts, pictures
inline constexpr std::uint32_t kLossFormulaValues = 1u << 2;   // formulas kept only as their last results
inline constexpr std::uint32_t kLossMacros = 1u << 3;          // a VBA project not written back
inline constexpr std::uint32_t kLossUnreadRecords = 1u << 4;   // pivot tables, scenarios, backgrounds, ...
inline constexpr std::uint32_t kLossOtherStreams = 1u << 5;    // embedded objects, pivot caches, controls
inline constexpr std::uint32_t kLossFileEndMissing = 1u << 6;  // the file ends early: what followed is unknown

class TXLSWorkbook {
 public:
  // An empty workbook: no sheets, the default tables and settings.
  static std::shared_ptr<TXLSWorkbook> Create();
  TXLSWorkbook();
  ~TXLSWorkbook();
  TXLSWorkbook(const TXLSWorkbook&) = delete;
  TXLSWorkbook& operator=(const TXLSWorkbook&) = delete;

  IXLSWorkSheets& Worksheets() { return sheets_; }
  const IXLSWorkSheets& Worksheets() const { return sheets_; }

  // Reads an XLS file (BIFF8, or BIFF5/BIFF7) into the workbook, which is
  // cleared first (the palette stays). kOpenOk, or a failure of
  // xls/result_codes.h (not a workbook file, a format older than BIFF5,
  // damaged, a version other than BIFF5/BIFF8, encryption problems), or
  // kOpenUnfinished: the file ends inside a sheet, and what was read is
  // complete and can be saved. After a failure the workbook keeps what was
  // read.
  int Open(std::u16string_view path, std::u16string_view password = {});
  int Open(const std::string& utf8Path, std::u16string_view password = {});
  // The same from a file image in memory.
  int OpenBytes(std::span<const std::uint8_t> bytes, std::u16string_view password = {});

  // The file last read was encrypted (and opened with the default or the
  // given password). The writer does not encrypt: saving such a workbook
  // over its file would leave it unprotected.
  bool OpenedEncrypted() const { return openedEncrypted_; }
  void SetOpenedEncrypted(bool on) { openedEncrypted_ = on; }

  // False when the file last read held something a BIFF8 save cannot carry
  // (SaveLosses() says what): saving over that file would lose it.
  bool SaveKeepsEverything() const { return saveLosses_ == 0; }
  std::uint32_t SaveLosses() const { return saveLosses_; }
  void NoteSaveLoss(std::uint32_t loss) { saveLosses_ |= loss; }

  // Writes the whole workbook as a BIFF8 file at `path`, replacing the file
  // there only once the new one is complete: a failed save leaves the old
  // file as it was. kSaveOk, kSaveEmptyPath, kSaveCannotCreate (the file
  // cannot be created or put in place), or another failure of the container. A workbook without sheets
  // gets one ("Sheet1") first; nothing else in the model changes.
  int SaveAs(std::u16string_view path);
  int SaveAs(const std::string& utf8Path);

  // Empties the workbook before a file is read into it: sheets, strings,
  // formats, fonts, names, protection, drawings and the VBA storage copy go,
  // and so does what was known of the file read (encryption, save losses);
  // the palette stays as it was.
  void Clear();

  TXLSXFList& XFList() { return xfList_; }
  const TXLSXFList& XFList() const { return xfList_; }
  TXLSFontList& Fonts() { return fonts_; }
  const TXLSFontList& Fonts() const { return fonts_; }
  TXLSNumFormatList& NumFormats() { return numFormats_; }
  const TXLSNumFormatList& NumFormats() const { return numFormats_; }
  TXLSStringTable& Strings() { return strings_; }
  const TXLSStringTable& Strings() const { return strings_; }
  TXLSPalette& Palette() { return palette_; }
  const TXLSPalette& Palette() const { return palette_; }

  int CodePage() const { return codePage_; }
  void SetCodePage(int codePage) { codePage_ = codePage; }
  const std::u16string& SheetNamePrefix() const { return sheetNamePrefix_; }
  void SetSheetNamePrefix(std::u16string prefix) { sheetNamePrefix_ = std::move(prefix); }
  bool A1ReferenceStyle() const { return a1ReferenceStyle_; }
  void SetA1ReferenceStyle(bool on) { a1ReferenceStyle_ = on; }
  bool Date1904() const { return date1904_; }
  void SetDate1904(bool on) { date1904_ = on; }
  FileFormat FormatRead() const { return formatRead_; }
  void SetFormatRead(FileFormat format) { formatRead_ = format; }
  FileFormat SaveFormat() const { return FileFormat::Biff8; }
  const std::u16string& LastPath() const { return lastPath_; }
  void SetLastPath(std::u16string path) { lastPath_ = std::move(path); }
  int FirstVisibleTab() const { return firstVisibleTab_; }
  void SetFirstVisibleTab(int tab) { firstVisibleTab_ = tab; }

  // Advanced by every value assignment: cached formula results are stale.
  std::uint64_t RecalcStamp() const { return recalcStamp_; }
  void AdvanceRecalcStamp() { ++recalcStamp_; }

  // The formula calculator; none unless one was given.
  TXLSFormulaCalculator* FormulaCalculator() const { return calculator_.get(); }
  void SetFormulaCalculator(std::unique_ptr<TXLSFormulaCalculator> calculator) {
    calculator_ = std::move(calculator);
  }

  // The copy of the VBA project storage of the file read, or none.
  const std::shared_ptr<TXLSFileStorage>& VbaStorage() const { return vbaStorage_; }
  void SetVbaStorage(std::shared_ptr<TXLSFileStorage> storage) { vbaStorage_ = std::move(storage); }
  const std::u16string& CodeName() const { return codeName_; }
  void SetCodeName(std::u16string name) { codeName_ = std::move(name); }

  std::vector<TXLSName>& Names() { return names_; }
  const std::vector<TXLSName>& Names() const { return names_; }
  TXLSExternals& Externals() { return externals_; }
  const TXLSExternals& Externals() const { return externals_; }
  TXLSWorkbookProtection& Protection() { return protection_; }
  const TXLSWorkbookProtection& Protection() const { return protection_; }
  TXLSRecordList& DrawingGroup() { return drawingGroup_; }  // MSODRAWINGGROUP records as read
  const TXLSRecordList& DrawingGroup() const { return drawingGroup_; }

 private:
  IXLSWorkSheets sheets_;
  TXLSXFList xfList_;
  TXLSFontList fonts_;
  TXLSNumFormatList numFormats_;
  TXLSStringTable strings_;
  TXLSPalette palette_;
  int codePage_ = 1252;
  std::u16string sheetNamePrefix_ = u"Sheet";
  bool a1ReferenceStyle_ = true;
  bool date1904_ = false;
  FileFormat formatRead_ = FileFormat::None;
  bool openedEncrypted_ = false;
  std::uint32_t saveLosses_ = 0;
  std::u16string lastPath_;
  int firstVisibleTab_ = 0;
  std::uint64_t recalcStamp_ = 0;
  std::unique_ptr<TXLSFormulaCalculator> calculator_;
  std::shared_ptr<TXLSFileStorage> vbaStorage_;
  std::u16string codeName_;
  std::vector<TXLSName> names_;
  TXLSExternals externals_;
  TXLSWorkbookProtection protection_;
  TXLSRecordList drawingGroup_;
};

}  // namespace xls
