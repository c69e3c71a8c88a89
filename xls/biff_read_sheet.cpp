// The records of a worksheet other than cells: rows and columns, merged
// areas, window, page setup, protection, and the record groups kept as read
// for the writer (drawings and notes, hyperlinks, conditional formats, data
// validation, autofilter). BIFF5 drawings, notes and the like are laid out
// differently from BIFF8 ones and are not carried into a BIFF8 file; they,
// and the records of things the writer does not know (pivot tables,
// scenarios, a background picture), are noted as lost on a save.

#include <algorithm>
#include <cmath>

#include "xls/biff_record_ids.h"
#include "xls/biff_reader.h"

namespace xls {

namespace {

// DEFCOLWIDTH counts characters without the cell padding; 8 of them make the
// standard column of 2340/256 characters.
constexpr double kUnitsPerDefaultCharacter = 2340.0 / 8.0;

}  // namespace

int TXLSReader::OnWorksheet(const TXLSRecordGroup& group) {
  if (OnCell(group)) return kOpenOk;
  const TXLSBody body = group.Body();
  TXLSSheetParts& parts = sheet_->Parts();
  TXLSPageSetup& setup = parts.pageSetup;
  auto flag = [&body](bool& target) {
    if (body.Has(0, 2)) target = body.U16(0) != 0;
  };
  auto margin = [&body](double& target) {
    if (body.Has(0, 8)) target = body.F64(0);
  };
  switch (group.id) {
    case rec::kRow:
      OnRow(body);
      break;
    case rec::kColInfo:
      OnColInfo(body);
      break;
    case rec::kDefColWidth:
      if (body.Has(0, 2))
        sheet_->Columns().Default().width =
            static_cast<std::uint16_t>(std::min(65535.0, std::round(body.U16(0) * kUnitsPerDefaultCharacter)));
      break;
    case rec::kStandardWidth:
      if (body.Has(0, 2)) sheet_->Columns().Default().width = body.U16(0);
      break;
    case rec::kDefaultRowHeight:
      if (body.Has(0, 4)) {
        parts.defaultRowHeight = body.U16(2);
      } else if (body.Has(0, 2)) {
        parts.defaultRowHeight = body.U16(0);
      }
      break;
    case rec::kMergedCells:
      OnMergedCells(body);
      break;
    case rec::kWindow2:
      OnWindow2(body);
      break;
    case rec::kSelection:
      OnSelection(body);
      break;
    case rec::kPane:
      parts.window.pane.assign(body.Bytes().begin(), body.Bytes().end());
      break;
    case rec::kScl:
      if (body.Has(0, 4) && body.U16(2) != 0)
        parts.window.zoom = static_cast<std::uint16_t>(std::clamp(body.U16(0) * 100 / body.U16(2), 10, 400));
      break;
    case rec::kHeader:
      setup.header = ReadBiffString(body, 0, Biff8() ? 2 : 1, Decoder());
      break;
    case rec::kFooter:
      setup.footer = ReadBiffString(body, 0, Biff8() ? 2 : 1, Decoder());
      break;
    case rec::kLeftMargin:
      margin(setup.leftMargin);
      break;
    case rec::kRightMargin:
      margin(setup.rightMargin);
      break;
    case rec::kTopMargin:
      margin(setup.topMargin);
      break;
    case rec::kBottomMargin:
      margin(setup.bottomMargin);
      break;
    case rec::kPrintHeaders:
      flag(setup.printHeaders);
      break;
    case rec::kPrintGridlines:
      flag(setup.printGridlines);
      break;
    case rec::kGridSet:
      flag(setup.gridSet);
      break;
    case rec::kHCenter:
      flag(setup.horizontallyCentred);
      break;
    case rec::kVCenter:
      flag(setup.verticallyCentred);
      break;
    case rec::kSetup:
      OnSetup(body);
      break;
    case rec::kWsBool:
      if (body.Has(0, 2)) setup.sheetOptions = body.U16(0);
      break;
    case rec::kHorizontalPageBreaks:
      OnPageBreaks(body, setup.rowBreaks);
      break;
    case rec::kVerticalPageBreaks:
      OnPageBreaks(body, setup.columnBreaks);
      break;
    case rec::kProtect:
      if (body.Size() > 1) parts.protection.isProtected = body.U16(0) == 1;
      break;
    case rec::kPassword:
      if (body.Size() > 1) parts.protection.passwordHash = body.U16(0);
      break;
    case rec::kScenProtect:
      flag(parts.protection.scenarios);
      break;
    case rec::kObjProtect:
      flag(parts.protection.objects);
      break;
    case rec::kSheetProtection:
      if (Biff8()) parts.protection.sheetProtection.assign(body.Bytes().begin(), body.Bytes().end());
      break;
    case rec::kCodeName:
      if (Biff8()) parts.codeName = ReadBiffString(body, 0, 2, Decoder());
      break;
    case rec::kNote:
    case rec::kObj:
    case rec::kTxo:
    case rec::kMsoDrawing:
    case rec::kMsoDrawingSelection:
      if (Biff8()) {
        Keep(group, parts.drawing);
      } else {
        book_.NoteSaveLoss(kLossBiff5Objects);
      }
      break;
    case rec::kImData:
      book_.NoteSaveLoss(Biff8() ? kLossUnreadRecords : kLossBiff5Objects);
      break;
    case rec::kBitmap:
    case rec::kScenMan:
    case rec::kScenario:
    case rec::kSxView:
    case rec::kTable:
    case rec::kFeat:
      book_.NoteSaveLoss(kLossUnreadRecords);
      break;
    case rec::kHLink:
    case rec::kQuickTip:
      if (Biff8()) Keep(group, parts.hyperlinks);
      break;
    case rec::kCondFmt:
    case rec::kCf:
      if (Biff8()) Keep(group, parts.conditionalFormats);
      break;
    case rec::kDVal:
    case rec::kDv:
      if (Biff8()) Keep(group, parts.dataValidation);
      break;
    case rec::kAutoFilterInfo:
    case rec::kAutoFilter:
    case rec::kFilterMode:
      if (Biff8()) Keep(group, parts.autofilter);
      break;
    default:
      break;
  }
  return kOpenOk;
}

void TXLSReader::OnRow(const TXLSBody& body) {
  if (!body.Has(0, 16)) return;
  const int row = body.U16(0);
  const std::uint32_t options = body.U32(12);
  TXLSRowInfo& info = sheet_->Rows().GetOrCreate(row);
  info.height = body.U16(6) & 0x7FFF;  // bit 15 marks the default height
  info.outlineLevel = static_cast<std::uint8_t>(options & 0x07);
  info.collapsed = options & 0x10;
  info.hidden = options & 0x20;
  info.customHeight = options & 0x40;
  if (options & 0x80) sheet_->SetRowXF(row, static_cast<std::int32_t>(ValidXF((options >> 16) & 0x0FFF)));
}

void TXLSReader::OnColInfo(const TXLSBody& body) {
  if (!body.Has(0, 10)) return;
  const int first = body.U16(0);
  const int last = std::min<int>(body.U16(2), kColumnCount - 1);
  const std::uint16_t options = body.U16(8);
  const auto xf = static_cast<std::int32_t>(ValidXF(body.U16(6)));
  for (int column = first; column <= last; ++column) {
    TXLSColumnInfo& info = sheet_->Columns().GetOrCreate(column);
    info.width = body.U16(4);
    info.hidden = options & 0x0001;
    info.outlineLevel = static_cast<std::uint8_t>((options >> 8) & 0x07);
    info.collapsed = options & 0x1000;
    sheet_->SetColumnXF(column, xf);
  }
}

void TXLSReader::OnMergedCells(const TXLSBody& body) {
  const std::size_t fit = body.Size() >= 2 ? (body.Size() - 2) / 8 : 0;
  const std::size_t count = std::min<std::size_t>(body.U16(0), fit);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 2 + 8 * i;
    const int firstRow = body.U16(at), lastRow = body.U16(at + 2);
    const int firstColumn = body.U16(at + 4), lastColumn = body.U16(at + 6);
    if (firstRow > lastRow || firstColumn > lastColumn || lastColumn >= kColumnCount) continue;
    sheet_->MergeCells(TXLSArea{static_cast<std::uint16_t>(firstRow), static_cast<std::uint16_t>(lastRow),
                                static_cast<std::uint8_t>(firstColumn), static_cast<std::uint8_t>(lastColumn)});
  }
}

void TXLSReader::OnWindow2(const TXLSBody& body) {
  if (!body.Has(0, 2)) return;
  TXLSSheetWindow& window = sheet_->Parts().window;
  const std::uint16_t options = body.U16(0);
  window.gridlines = options & 0x0002;
  window.frozen = options & 0x0008;
  window.zeros = options & 0x0010;
  window.rightToLeft = options & 0x0040;
  window.selected = options & 0x0200;
  window.topRow = body.U16(2);
  window.leftColumn = body.U16(4);
}

void TXLSReader::OnSelection(const TXLSBody& body) {
  if (!body.Has(0, 9)) return;
  TXLSSheetWindow& window = sheet_->Parts().window;
  window.selectionPane = body.U8(0);
  window.activeRow = body.U16(1);
  window.activeColumn = static_cast<std::uint8_t>(body.U16(3));
  const std::size_t count = std::min<std::size_t>(body.U16(7), (body.Size() - 9) / 6);
  std::vector<TXLSArea> areas;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 9 + 6 * i;
    areas.push_back({body.U16(at), body.U16(at + 2), body.U8(at + 4), body.U8(at + 5)});
  }
  if (!areas.empty()) window.selection = std::move(areas);
}

void TXLSReader::OnPageBreaks(const TXLSBody& body, std::vector<TXLSPageBreak>& breaks) {
  const std::size_t entry = Biff8() ? 6 : 2;
  const std::size_t fit = body.Size() >= 2 ? (body.Size() - 2) / entry : 0;
  const std::size_t count = std::min<std::size_t>(body.U16(0), fit);
  breaks.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 2 + entry * i;
    if (Biff8()) {
      breaks.push_back({body.U16(at), body.U16(at + 2), body.U16(at + 4)});
    } else {  // a BIFF5 break spans the whole sheet
      const bool rows = &breaks == &sheet_->Parts().pageSetup.rowBreaks;
      breaks.push_back({body.U16(at), 0, static_cast<std::uint16_t>(rows ? kColumnCount - 1 : kRowCount - 1)});
    }
  }
}

void TXLSReader::OnSetup(const TXLSBody& body) {
  if (!body.Has(0, 34)) return;
  TXLSPageSetup& setup = sheet_->Parts().pageSetup;
  setup.paperSize = body.U16(0);
  setup.scale = body.U16(2);
  setup.startPage = body.U16(4);
  setup.fitWidth = body.U16(6);
  setup.fitHeight = body.U16(8);
  setup.options = body.U16(10);
  setup.horizontalResolution = body.U16(12);
  setup.verticalResolution = body.U16(14);
  setup.headerMargin = body.F64(16);
  setup.footerMargin = body.F64(24);
  setup.copies = body.U16(32);
}

}  // namespace xls
