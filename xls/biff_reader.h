#pragma once
// The BIFF reader (`TXLSReader`) behind Open: it fills a workbook from an
// XLS file in the BIFF8 (Excel 97-2003) or BIFF5/BIFF7 (Excel 5.0/95) form.
//
// Records are read in order and grouped: a record with the CONTINUE records
// that follow it, and runs of MSODRAWINGGROUP records, form one group; in a
// chart every record stands alone. Each group goes to the handler of the
// substream it belongs to: the workbook globals, a worksheet, a chart sheet
// or a chart embedded in a worksheet. Substreams of other kinds (macro
// sheets, modules, workspaces) are skipped; worksheet and chart substreams
// are matched to the sheets of the BOUNDSHEET list by their order.
//
// Cells are entered with the model's own cell operations, so the model's
// rules apply: a text is stored literally (a file text beginning with "=" or
// "'" stays as it is), a number keeps its format, and a cell's format use is
// counted. Formulas keep their BIFF8 token arrays (BIFF5 ones are converted
// where the tokens allow; others keep their last result as a value).
//
// One reader serves one Open: it is created with the workbook and the
// password, reads, and is discarded.
//
// Threads: one workbook read or save, on the caller's thread; no shared state.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "xls/biff_formula_tokens.h"
#include "xls/biff_read_body.h"
#include "xls/biff_read_stream.h"
#include "xls/biff_read_text.h"
#include "xls/workbook.h"

namespace xls {

// A record group: the first record's id and the bodies of it and its CONTINUE records.
struct TXLSRecordGroup {
  std::uint16_t id = 0;
  std::vector<std::span<const std::uint8_t>> bodies;
  std::vector<std::uint16_t> ids;  // id of each body as it stood in the file

  TXLSBody Body() const { return bodies.empty() ? TXLSBody() : TXLSBody(bodies.front()); }
};

class TXLSReader {
 public:
  TXLSReader(TXLSWorkbook& workbook, std::u16string password);
  ~TXLSReader();

  // Reads the file (or the bytes) into the workbook, which the caller has
  // cleared. The result code of Open.
  int Read(const std::filesystem::path& path);
  int ReadBytes(std::span<const std::uint8_t> bytes);

  // BIFF5 when the version read is below 0x0600, else BIFF8.
  FileFormat Format() const { return version_ != 0 && version_ < 0x0600 ? FileFormat::Biff5 : FileFormat::Biff8; }

 private:
  enum class Substream { None, Globals, Worksheet, ChartSheet, EmbeddedChart };

  struct PrintName {  // a built-in print area or print titles name, applied at the end
    bool titles = false;
    int tab = 0;  // 1-based BOUNDSHEET position the name belongs to
    std::vector<TXLSArea> areas;
  };
  struct SharedFormula {
    TXLSArea area;
    std::vector<std::uint8_t> tokens;  // with extra data
    std::uint16_t tokenLength = 0;
  };
  struct CellPosition {
    int row = -1;
    int column = -1;
    bool Valid() const { return row >= 0; }
  };

  // ---- record loop (biff_reader.cpp)
  int ReadStream();
  int Dispatch(const TXLSRecordGroup& group);
  int OnBof(const TXLSBody& body);
  int OnEof();
  int Finish();
  void ApplyWindow1();
  void ApplyPrintNames();
  void CopyVbaStorage();
  void NoteOtherStreams();  // streams of the compound file that a save leaves out
  IXLSWorksheet* SheetOfTab(int tab) const;  // 0-based BOUNDSHEET position
  TXLSTextDecoder Decoder() const { return TXLSTextDecoder(version_ >= 0x0600, codePage_); }
  bool Biff8() const { return version_ >= 0x0600; }

  // ---- workbook globals (biff_read_globals.cpp)
  int OnGlobals(const TXLSRecordGroup& group);
  int OnFilePass(const TXLSBody& body);
  int OnFont(const TXLSBody& body);
  void OnXF(const TXLSBody& body);
  void OnFormat(const TXLSBody& body);
  void OnStyle(const TXLSBody& body);
  void OnPalette(const TXLSBody& body);
  void OnBoundSheet(const TXLSBody& body);
  void OnSupBook(const TXLSBody& body);
  void OnExternSheet(const TXLSBody& body);
  void OnExternName(const TXLSRecordGroup& group);
  void OnSst(const TXLSRecordGroup& group);
  void OnDrawingGroup(const TXLSRecordGroup& group);

  // ---- names (biff_read_names.cpp)
  void OnName(const TXLSRecordGroup& group);
  void EnterName(const TXLSBody& body);
  void EnterCollectedNames();
  std::vector<TXLSArea> NameAreas(std::span<const std::uint8_t> formula) const;
  std::vector<std::uint8_t> NameFormula(std::span<const std::uint8_t> formula);
  // Names are numbered anew when written (print areas and the like after the
  // others); formulas refer to them by number and are renumbered as read.
  enum class NameSlot { Kept, PrintArea, PrintTitles, FilterDatabase, Dropped };
  void RecordNameSlot(NameSlot slot, int tab = 0);
  void BuildNameMap();
  bool RenumberFormulaNames(std::span<std::uint8_t> tokens) const;
  SheetReferenceFunction SheetReferences();
  void ApplyPrintName(const PrintName& name, TXLSPageSetup& setup) const;

  // ---- worksheets (biff_read_sheet.cpp)
  int OnWorksheet(const TXLSRecordGroup& group);
  void OnChart(const TXLSRecordGroup& group);
  void OnRow(const TXLSBody& body);
  void OnColInfo(const TXLSBody& body);
  void OnMergedCells(const TXLSBody& body);
  void OnWindow2(const TXLSBody& body);
  void OnSelection(const TXLSBody& body);
  void OnPageBreaks(const TXLSBody& body, std::vector<TXLSPageBreak>& breaks);
  void OnSetup(const TXLSBody& body);
  static void Keep(const TXLSRecordGroup& group, TXLSRecordList& list);

  // ---- cells (biff_read_cells.cpp)
  bool OnCell(const TXLSRecordGroup& group);
  TXLSCellRef* CellAt(int row, int column);  // nullptr outside the sheet
  std::uint32_t ValidXF(std::uint32_t xf) const;
  double ModelNumber(std::uint32_t xf, double value) const;  // a 1904 date moved to the 1900 day count
  void SetNumber(int row, int column, std::uint32_t xf, double value);
  void SetText(int row, int column, std::uint32_t xf, const std::u16string& text,
               const std::vector<TXLSRichRun>& fileRuns = {});
  std::vector<TXLSRichRun> ModelRuns(const std::vector<TXLSRichRun>& fileRuns, std::size_t textLength) const;
  void SetBlank(int row, int column, std::uint32_t xf);
  void SetBoolean(int row, int column, std::uint32_t xf, bool value);
  void SetError(int row, int column, std::uint32_t xf, std::uint8_t code);
  void OnMulRk(const TXLSBody& body);
  void OnMulBlank(const TXLSBody& body);
  void OnLabel(const TXLSBody& body, bool richString);
  void OnBoolErr(const TXLSBody& body);

  // ---- formulas (biff_read_formulas.cpp)
  void OnFormula(const TXLSBody& body);
  void OnSharedFormula(const TXLSBody& body);
  void OnArrayFormula(const TXLSBody& body);
  void OnString(const TXLSRecordGroup& group);
  void SetCachedResult(int row, int column, std::uint32_t xf, const TXLSFormula& formula);
  void SetFormula(int row, int column, std::uint32_t xf, std::unique_ptr<TXLSFormula> formula);
  bool InstantiateShared(const SharedFormula& shared, int row, int column, TXLSFormula& formula) const;
  bool TakeTokens(std::span<const std::uint8_t> tokens, std::span<const std::uint8_t> extra,
                  std::vector<std::uint8_t>& out, std::uint16_t& tokenLength);
  void ResolvePendingAnchor();  // the anchor without its SHRFMLA/ARRAY keeps its value

  TXLSWorkbook& book_;
  std::u16string password_;
  TXLSReadStream stream_;

  std::uint16_t version_ = 0;
  Substream state_ = Substream::None;
  int skipDepth_ = 0;  // inside a skipped substream (macro sheet, module, ...)
  int sheetCounter_ = 0;
  IXLSWorksheet* sheet_ = nullptr;  // the worksheet or chart sheet being read
  TXLSRecordList* chart_ = nullptr;  // where the chart being read goes

  std::vector<TXLSReadString> strings_;  // the SST
  int fontCounter_ = 0;
  std::uint32_t xfCounter_ = 0;
  bool stylesRead_ = false;
  int codePage_ = 0;
  std::optional<int> activeTab_;
  std::optional<int> firstVisibleTab_;
  std::vector<IXLSWorksheet*> tabs_;  // one per BOUNDSHEET: the sheet, or nullptr for skipped kinds
  std::vector<PrintName> printNames_;
  std::vector<std::vector<std::uint8_t>> collectedNames_;
  struct NameSlotInfo {
    NameSlot kind = NameSlot::Kept;
    int tab = 0;
    std::size_t kept = 0;  // position in the workbook's names
  };
  std::vector<NameSlotInfo> nameSlots_;
  std::vector<std::uint16_t> nameMap_;
  std::vector<bool> selfExternSheets_;  // by EXTERNSHEET index: entries of this workbook
  bool renumberNames_ = false;  // BIFF5 NAME bodies, entered at the end of the globals

  // Formulas of the sheet being read.
  CellPosition pendingAnchor_;
  std::unique_ptr<TXLSFormula> pendingFormula_;
  std::uint32_t pendingXF_ = 0;
  CellPosition lastFormula_;  // for the STRING record of a text result
  std::map<std::pair<int, int>, SharedFormula> sharedFormulas_;
  std::map<std::pair<int, int>, std::shared_ptr<TXLSArrayFormula>> arrayFormulas_;
};

}  // namespace xls
