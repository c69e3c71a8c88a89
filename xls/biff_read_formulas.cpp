// FORMULA, SHRFMLA, ARRAY and STRING. A formula keeps its BIFF8 token array
// (and the result the file carried) so that it is written back as it was
// read. A FORMULA whose formula lives in the SHRFMLA or ARRAY record that
// follows it is the pending anchor until that record comes; the other cells
// of a shared formula get their own copy of it, those of an array formula a
// reference to it. A formula that cannot be carried over (a BIFF5 formula
// with tokens that do not convert, a reference to a shared formula that
// never comes) keeps its last result as a plain value.

#include "xls/biff_record_ids.h"
#include "xls/biff_reader.h"

namespace xls {

namespace {

constexpr std::size_t kFormulaTokensAt = 22;
constexpr std::size_t kSharedTokensAt = 10;
constexpr std::size_t kArrayTokensAt = 14;
constexpr std::size_t kExpSize = 5;

void ReadCachedResult(const TXLSBody& body, TXLSFormula& formula) {
  if (body.U16(12) != 0xFFFF) {
    formula.resultKind = FormulaResultKind::Number;
    formula.resultNumber = body.F64(6);
    return;
  }
  switch (body.U8(6)) {
    case 0:
      formula.resultKind = FormulaResultKind::Text;  // the text follows in a STRING record
      break;
    case 1:
      formula.resultKind = FormulaResultKind::Boolean;
      formula.resultBoolean = body.U8(8) != 0;
      break;
    case 2:
      formula.resultKind = FormulaResultKind::Error;
      formula.resultError = body.U8(8);
      break;
    default:
      formula.resultKind = FormulaResultKind::EmptyText;
      break;
  }
}

TXLSArea ReadArea(const TXLSBody& body) {
  TXLSArea area{body.U16(0), body.U16(2), body.U8(4), body.U8(5)};
  if (area.firstRow > area.lastRow) std::swap(area.firstRow, area.lastRow);
  if (area.firstColumn > area.lastColumn) std::swap(area.firstColumn, area.lastColumn);
  return area;
}

}  // namespace

void TXLSReader::SetCachedResult(int row, int column, std::uint32_t xf, const TXLSFormula& formula) {
  switch (formula.resultKind) {
    case FormulaResultKind::Number:
      return SetNumber(row, column, xf, formula.resultNumber);
    case FormulaResultKind::Boolean:
      return SetBoolean(row, column, xf, formula.resultBoolean);
    case FormulaResultKind::Text:
      return SetText(row, column, xf, formula.resultText);
    case FormulaResultKind::EmptyText:
      return SetText(row, column, xf, u"");
    case FormulaResultKind::Error:
      return SetError(row, column, xf, formula.resultError);
  }
}

void TXLSReader::SetFormula(int row, int column, std::uint32_t xf, std::unique_ptr<TXLSFormula> formula) {
  TXLSCellRef* cell = CellAt(row, column);
  if (!cell) return;
  sheet_->ClearCellContent(*cell);
  xf = ValidXF(xf);
  sheet_->SetCellXF(*cell, xf);
  if (formula->resultKind == FormulaResultKind::Number) formula->resultNumber = ModelNumber(xf, formula->resultNumber);
  cell->kind = CellKind::Formula;
  cell->formula = std::move(formula);
}

// A token array as the model keeps it: BIFF8, names renumbered, extra data behind.
bool TXLSReader::TakeTokens(std::span<const std::uint8_t> tokens, std::span<const std::uint8_t> extra,
                            std::vector<std::uint8_t>& out, std::uint16_t& tokenLength) {
  if (Biff8()) {
    out.assign(tokens.begin(), tokens.end());
  } else if (!extra.empty() || !ConvertBiff5Formula(tokens, Decoder(), SheetReferences(), out)) {
    return false;
  }
  if (out.size() > 0xFFFF || !RenumberFormulaNames(out)) return false;
  tokenLength = static_cast<std::uint16_t>(out.size());
  if (Biff8()) out.insert(out.end(), extra.begin(), extra.end());
  return true;
}

bool TXLSReader::InstantiateShared(const SharedFormula& shared, int row, int column, TXLSFormula& formula) const {
  std::vector<std::uint8_t> tokens;
  const std::span<const std::uint8_t> all(shared.tokens);
  if (!InstantiateSharedFormula(all.first(shared.tokenLength), row, column, tokens)) return false;
  formula.tokenLength = static_cast<std::uint16_t>(tokens.size());
  tokens.insert(tokens.end(), all.begin() + shared.tokenLength, all.end());
  formula.tokens = std::move(tokens);
  return true;
}

void TXLSReader::ResolvePendingAnchor() {
  // An anchor whose SHRFMLA or ARRAY never came keeps its value.
  if (pendingFormula_) book_.NoteSaveLoss(kLossFormulaValues);
  pendingAnchor_ = {};
  pendingFormula_.reset();
}

void TXLSReader::OnFormula(const TXLSBody& body) {
  ResolvePendingAnchor();
  if (!body.Has(0, kFormulaTokensAt)) return;
  const int row = body.U16(0);
  const int column = body.U16(2);
  const std::uint32_t xf = body.U16(4);
  auto formula = std::make_unique<TXLSFormula>();
  ReadCachedResult(body, *formula);
  formula->options = body.U16(14);
  const std::size_t length = body.U16(20);
  const std::span<const std::uint8_t> tokens = body.Slice(kFormulaTokensAt, length);
  const std::span<const std::uint8_t> extra = body.Slice(kFormulaTokensAt + length);
  lastFormula_ = {row, column};

  if (tokens.size() >= kExpSize && tokens[0] == kPtgExp) {
    const TXLSBody exp(tokens);
    const std::pair<int, int> host{exp.U16(1), exp.U16(3)};
    SetCachedResult(row, column, xf, *formula);  // until the formula itself is known
    if (const auto shared = sharedFormulas_.find(host); shared != sharedFormulas_.end()) {
      if (InstantiateShared(shared->second, row, column, *formula)) {
        SetFormula(row, column, xf, std::move(formula));
      } else {
        book_.NoteSaveLoss(kLossFormulaValues);
      }
      return;
    }
    if (const auto array = arrayFormulas_.find(host); array != arrayFormulas_.end()) {
      formula->tokens.assign(tokens.begin(), tokens.begin() + kExpSize);
      formula->tokenLength = kExpSize;
      formula->array = array->second;
      SetFormula(row, column, xf, std::move(formula));
      return;
    }
    // The SHRFMLA or ARRAY record that follows defines it.
    pendingAnchor_ = {row, column};
    pendingXF_ = xf;
    formula->tokens.assign(tokens.begin(), tokens.begin() + kExpSize);
    formula->tokenLength = kExpSize;
    pendingFormula_ = std::move(formula);
    return;
  }
  if (!TakeTokens(tokens, extra, formula->tokens, formula->tokenLength)) {
    SetCachedResult(row, column, xf, *formula);
    book_.NoteSaveLoss(kLossFormulaValues);
    return;
  }
  SetFormula(row, column, xf, std::move(formula));
}

void TXLSReader::OnSharedFormula(const TXLSBody& body) {
  if (!body.Has(0, kSharedTokensAt)) return ResolvePendingAnchor();
  SharedFormula shared;
  shared.area = ReadArea(body);
  const std::size_t length = body.U16(8);
  if (TakeTokens(body.Slice(kSharedTokensAt, length), body.Slice(kSharedTokensAt + length), shared.tokens,
                 shared.tokenLength)) {
    if (pendingAnchor_.Valid() && shared.area.Contains(pendingAnchor_.row, pendingAnchor_.column)) {
      if (InstantiateShared(shared, pendingAnchor_.row, pendingAnchor_.column, *pendingFormula_))
        SetFormula(pendingAnchor_.row, pendingAnchor_.column, pendingXF_, std::move(pendingFormula_));
      sharedFormulas_[{pendingAnchor_.row, pendingAnchor_.column}] = shared;
    }
    sharedFormulas_[{shared.area.firstRow, shared.area.firstColumn}] = std::move(shared);
  }
  ResolvePendingAnchor();
}

void TXLSReader::OnArrayFormula(const TXLSBody& body) {
  if (!body.Has(0, kArrayTokensAt)) return ResolvePendingAnchor();
  auto array = std::make_shared<TXLSArrayFormula>();
  array->area = ReadArea(body);
  array->options = body.U16(6);
  const std::size_t length = body.U16(12);
  std::uint16_t tokenLength = 0;
  // The writer gives an ARRAY record its token array whole; extra data
  // (array constants) would be counted as tokens, so such a formula keeps
  // its values.
  const bool taken = body.Slice(kArrayTokensAt + length).empty() &&
                     TakeTokens(body.Slice(kArrayTokensAt, length), {}, array->tokens, tokenLength);
  if (taken) {
    if (pendingAnchor_.Valid() && array->area.Contains(pendingAnchor_.row, pendingAnchor_.column)) {
      pendingFormula_->array = array;
      SetFormula(pendingAnchor_.row, pendingAnchor_.column, pendingXF_, std::move(pendingFormula_));
      arrayFormulas_[{pendingAnchor_.row, pendingAnchor_.column}] = array;
    }
    arrayFormulas_[{array->area.firstRow, array->area.firstColumn}] = array;
  } else {
    book_.NoteSaveLoss(kLossFormulaValues);
  }
  ResolvePendingAnchor();
}

void TXLSReader::OnString(const TXLSRecordGroup& group) {
  if (!lastFormula_.Valid() || !sheet_) return;
  TXLSCellRef* cell = sheet_->CellHeap().Find(lastFormula_.row, lastFormula_.column);
  if (!cell) return;
  std::u16string text = ReadContinuedString(group.bodies, Decoder());
  if (cell->kind == CellKind::Formula && cell->formula) {
    cell->formula->resultText = std::move(text);
    return;
  }
  if (pendingFormula_ && pendingAnchor_.row == lastFormula_.row && pendingAnchor_.column == lastFormula_.column)
    pendingFormula_->resultText = text;
  if (cell->kind == CellKind::Text) sheet_->SetCellText(*cell, text);  // a formula kept as its value
}

}  // namespace xls
