// Cell records of a worksheet. Values and formats go in through the sheet's
// cell operations: a created cell counts as a user of its format, a replaced
// text gives its shared string back.

#include "xls/biff_record_ids.h"
#include "xls/biff_reader.h"
#include "xls/rk.h"

namespace xls {

namespace {
constexpr double kDays1904 = 1462;  // day count of 1 January 1904 in the 1900 system
constexpr std::size_t kCellHeader = 6;  // row, column, XF
}  // namespace

double TXLSReader::ModelNumber(std::uint32_t xf, double value) const {
  // The model counts days in the 1900 system, constants and formula results alike.
  if (book_.Date1904() && book_.NumFormats().IsDateFormat(book_.XFList().EffectiveNumFormat(xf))) return value + kDays1904;
  return value;
}

bool TXLSReader::OnCell(const TXLSRecordGroup& group) {
  const TXLSBody body = group.Body();
  switch (group.id) {
    case rec::kBlank:
      if (body.Has(0, kCellHeader)) SetBlank(body.U16(0), body.U16(2), body.U16(4));
      return true;
    case rec::kMulBlank:
      OnMulBlank(body);
      return true;
    case rec::kNumber:
      if (body.Has(0, 14)) SetNumber(body.U16(0), body.U16(2), body.U16(4), body.F64(6));
      return true;
    case rec::kRk:
      if (body.Has(0, 10)) SetNumber(body.U16(0), body.U16(2), body.U16(4), DecodeRK(body.U32(6)));
      return true;
    case rec::kMulRk:
      OnMulRk(body);
      return true;
    case rec::kLabel:
      OnLabel(body, false);
      return true;
    case rec::kRString:
      OnLabel(body, true);
      return true;
    case rec::kLabelSst:
      if (body.Has(0, 10)) {
        const std::uint32_t index = body.U32(6);
        static const TXLSReadString kMissing;
        const TXLSReadString& string = index < strings_.size() ? strings_[index] : kMissing;
        SetText(body.U16(0), body.U16(2), body.U16(4), string.text, string.runs);
      }
      return true;
    case rec::kBoolErr:
      OnBoolErr(body);
      return true;
    case rec::kFormula:
    case rec::kFormulaOld:
      OnFormula(body);
      return true;
    case rec::kShrFmla:
      OnSharedFormula(body);
      return true;
    case rec::kArray:
      OnArrayFormula(body);
      return true;
    case rec::kString:
      OnString(group);
      return true;
    default:
      return false;
  }
}

TXLSCellRef* TXLSReader::CellAt(int row, int column) {
  if (!sheet_ || row < 0 || row >= kRowCount || column < 0 || column >= kColumnCount) return nullptr;
  return &sheet_->GetOrCreateCell(row, column);
}

std::uint32_t TXLSReader::ValidXF(std::uint32_t xf) const {
  return xf < static_cast<std::uint32_t>(book_.XFList().Count()) ? xf : 0;
}

void TXLSReader::SetNumber(int row, int column, std::uint32_t xf, double value) {
  TXLSCellRef* cell = CellAt(row, column);
  if (!cell) return;
  xf = ValidXF(xf);
  sheet_->ClearCellContent(*cell);
  sheet_->SetCellXF(*cell, xf);
  cell->kind = CellKind::Number;
  cell->number = ModelNumber(xf, value);
}

void TXLSReader::SetText(int row, int column, std::uint32_t xf, const std::u16string& text,
                         const std::vector<TXLSRichRun>& fileRuns) {
  TXLSCellRef* cell = CellAt(row, column);
  if (!cell) return;
  // Stored literally: a file text that begins with "=" or "'" stays as it is.
  if (fileRuns.empty()) {
    sheet_->SetCellText(*cell, text);
  } else {
    sheet_->SetCellRichText(*cell, text, ModelRuns(fileRuns, text.size()));
  }
  sheet_->SetCellXF(*cell, ValidXF(xf));
}

// Runs as the model keeps them: workbook font numbers (the file has no font
// 4), inside the text and in order; the others are left out.
std::vector<TXLSRichRun> TXLSReader::ModelRuns(const std::vector<TXLSRichRun>& fileRuns, std::size_t textLength) const {
  std::vector<TXLSRichRun> runs;
  for (TXLSRichRun run : fileRuns) {
    if (run.firstChar >= textLength || (!runs.empty() && run.firstChar <= runs.back().firstChar)) continue;
    run.font = run.font > 4 ? static_cast<std::uint16_t>(run.font - 1) : run.font;
    if (run.font >= book_.Fonts().Count()) run.font = 0;
    runs.push_back(run);
  }
  return runs;
}

void TXLSReader::SetBlank(int row, int column, std::uint32_t xf) {
  TXLSCellRef* cell = CellAt(row, column);
  if (!cell) return;
  sheet_->ClearCellContent(*cell);
  sheet_->SetCellXF(*cell, ValidXF(xf));
}

void TXLSReader::SetBoolean(int row, int column, std::uint32_t xf, bool value) {
  TXLSCellRef* cell = CellAt(row, column);
  if (!cell) return;
  sheet_->ClearCellContent(*cell);
  sheet_->SetCellXF(*cell, ValidXF(xf));
  cell->kind = CellKind::Boolean;
  cell->number = value ? 1.0 : 0.0;
}

void TXLSReader::SetError(int row, int column, std::uint32_t xf, std::uint8_t code) {
  TXLSCellRef* cell = CellAt(row, column);
  if (!cell) return;
  sheet_->ClearCellContent(*cell);
  sheet_->SetCellXF(*cell, ValidXF(xf));
  cell->kind = CellKind::Error;
  cell->number = code;
}

void TXLSReader::OnMulRk(const TXLSBody& body) {
  if (!body.Has(0, kCellHeader)) return;
  const int row = body.U16(0);
  const int first = body.U16(2);
  const std::size_t count = (body.Size() - kCellHeader) / 6;
  for (std::size_t i = 0; i < count && first + static_cast<int>(i) < kColumnCount; ++i)
    SetNumber(row, first + static_cast<int>(i), body.U16(4 + 6 * i), DecodeRK(body.U32(6 + 6 * i)));
}

void TXLSReader::OnMulBlank(const TXLSBody& body) {
  if (!body.Has(0, kCellHeader)) return;
  const int row = body.U16(0);
  const int first = body.U16(2);
  const std::size_t count = (body.Size() - kCellHeader) / 2;
  for (std::size_t i = 0; i < count && first + static_cast<int>(i) < kColumnCount; ++i)
    SetBlank(row, first + static_cast<int>(i), body.U16(4 + 2 * i));
}

void TXLSReader::OnLabel(const TXLSBody& body, bool richString) {
  if (!body.Has(0, 8)) return;
  const std::size_t count = body.U16(6);
  std::u16string text;
  std::size_t end = 0;
  if (Biff8()) {
    std::uint8_t options = body.U8(8);
    if (richString) options &= 0x01;  // the runs follow the characters
    if (options <= 1) text = ReadBiffChars(body, 9, count, options, Decoder(), &end);
  } else {
    text = ReadBiffChars(body, 8, count, 0, Decoder(), &end);
  }
  std::vector<TXLSRichRun> runs;
  if (richString && end > 0) {
    // BIFF8: a 16-bit count and runs of two 16-bit fields; BIFF5: 8 bits each.
    const std::size_t width = Biff8() ? 2 : 1;
    const std::size_t runCount = Biff8() ? body.U16(end) : body.U8(end);
    for (std::size_t i = 0, at = end + width; i < runCount && body.Has(at, 2 * width); ++i, at += 2 * width) {
      runs.push_back(Biff8() ? TXLSRichRun{body.U16(at), body.U16(at + 2)} : TXLSRichRun{body.U8(at), body.U8(at + 1)});
    }
  }
  SetText(body.U16(0), body.U16(2), body.U16(4), text, runs);
}

void TXLSReader::OnBoolErr(const TXLSBody& body) {
  if (!body.Has(0, 8)) return;
  if (body.U8(7) == 0) {
    SetBoolean(body.U16(0), body.U16(2), body.U16(4), body.U8(6) == 1);
  } else {
    SetError(body.U16(0), body.U16(2), body.U16(4), body.U8(6));
  }
}

}  // namespace xls
