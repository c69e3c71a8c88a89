#pragma once
// BIFF record ids (BIFF5 and BIFF8) that the reader and the writer use, and the
// values of the BOF record they test.

#include <cstdint>

namespace xls::rec {

inline constexpr std::uint16_t kFormula = 0x0006;
inline constexpr std::uint16_t kEof = 0x000A;
inline constexpr std::uint16_t kCalcCount = 0x000C;
inline constexpr std::uint16_t kCalcMode = 0x000D;
inline constexpr std::uint16_t kPrecision = 0x000E;
inline constexpr std::uint16_t kRefMode = 0x000F;
inline constexpr std::uint16_t kDelta = 0x0010;
inline constexpr std::uint16_t kIteration = 0x0011;
inline constexpr std::uint16_t kProtect = 0x0012;
inline constexpr std::uint16_t kPassword = 0x0013;
inline constexpr std::uint16_t kHeader = 0x0014;
inline constexpr std::uint16_t kFooter = 0x0015;
inline constexpr std::uint16_t kExternSheet = 0x0017;
inline constexpr std::uint16_t kName = 0x0018;
inline constexpr std::uint16_t kVerticalPageBreaks = 0x001A;
inline constexpr std::uint16_t kHorizontalPageBreaks = 0x001B;
inline constexpr std::uint16_t kNote = 0x001C;
inline constexpr std::uint16_t kSelection = 0x001D;
inline constexpr std::uint16_t kDateMode = 0x0022;
inline constexpr std::uint16_t kExternName = 0x0023;
inline constexpr std::uint16_t kLeftMargin = 0x0026;
inline constexpr std::uint16_t kRightMargin = 0x0027;
inline constexpr std::uint16_t kTopMargin = 0x0028;
inline constexpr std::uint16_t kBottomMargin = 0x0029;
inline constexpr std::uint16_t kPrintHeaders = 0x002A;
inline constexpr std::uint16_t kPrintGridlines = 0x002B;
inline constexpr std::uint16_t kFilePass = 0x002F;
inline constexpr std::uint16_t kFont = 0x0031;
inline constexpr std::uint16_t kContinue = 0x003C;
inline constexpr std::uint16_t kWindow1 = 0x003D;
inline constexpr std::uint16_t kBackup = 0x0040;
inline constexpr std::uint16_t kPane = 0x0041;
inline constexpr std::uint16_t kCodePage = 0x0042;
inline constexpr std::uint16_t kDefColWidth = 0x0055;
inline constexpr std::uint16_t kObj = 0x005D;
inline constexpr std::uint16_t kSaveRecalc = 0x005F;
inline constexpr std::uint16_t kObjProtect = 0x0063;
inline constexpr std::uint16_t kColInfo = 0x007D;
inline constexpr std::uint16_t kImData = 0x007F;
inline constexpr std::uint16_t kGuts = 0x0080;
inline constexpr std::uint16_t kWsBool = 0x0081;
inline constexpr std::uint16_t kGridSet = 0x0082;
inline constexpr std::uint16_t kHCenter = 0x0083;
inline constexpr std::uint16_t kVCenter = 0x0084;
inline constexpr std::uint16_t kBoundSheet = 0x0085;
inline constexpr std::uint16_t kCountry = 0x008C;
inline constexpr std::uint16_t kPalette = 0x0092;
inline constexpr std::uint16_t kStandardWidth = 0x0099;
inline constexpr std::uint16_t kFilterMode = 0x009B;
inline constexpr std::uint16_t kFnGroupCount = 0x009C;
inline constexpr std::uint16_t kAutoFilterInfo = 0x009D;
inline constexpr std::uint16_t kAutoFilter = 0x009E;
inline constexpr std::uint16_t kScl = 0x00A0;
inline constexpr std::uint16_t kSetup = 0x00A1;
inline constexpr std::uint16_t kScenMan = 0x00AE;
inline constexpr std::uint16_t kScenario = 0x00AF;
inline constexpr std::uint16_t kSxView = 0x00B0;
inline constexpr std::uint16_t kMulRk = 0x00BD;
inline constexpr std::uint16_t kMulBlank = 0x00BE;
inline constexpr std::uint16_t kObProj = 0x00D3;
inline constexpr std::uint16_t kSxStreamId = 0x00D5;
inline constexpr std::uint16_t kRString = 0x00D6;
inline constexpr std::uint16_t kDbCell = 0x00D7;
inline constexpr std::uint16_t kBookBool = 0x00DA;
inline constexpr std::uint16_t kScenProtect = 0x00DD;
inline constexpr std::uint16_t kXF = 0x00E0;
inline constexpr std::uint16_t kInterfaceHdr = 0x00E1;
inline constexpr std::uint16_t kMergedCells = 0x00E5;
inline constexpr std::uint16_t kBitmap = 0x00E9;
inline constexpr std::uint16_t kMsoDrawingGroup = 0x00EB;
inline constexpr std::uint16_t kMsoDrawing = 0x00EC;
inline constexpr std::uint16_t kMsoDrawingSelection = 0x00ED;
inline constexpr std::uint16_t kSst = 0x00FC;
inline constexpr std::uint16_t kLabelSst = 0x00FD;
inline constexpr std::uint16_t kExtSst = 0x00FF;
inline constexpr std::uint16_t kRrdHead = 0x0138;
inline constexpr std::uint16_t kDsf = 0x0161;
inline constexpr std::uint16_t kUsrExcl = 0x0194;
inline constexpr std::uint16_t kFileLock = 0x0195;
inline constexpr std::uint16_t kRrdInfo = 0x0196;
inline constexpr std::uint16_t kSupBook = 0x01AE;
inline constexpr std::uint16_t kCondFmt = 0x01B0;
inline constexpr std::uint16_t kCf = 0x01B1;
inline constexpr std::uint16_t kDVal = 0x01B2;
inline constexpr std::uint16_t kTxo = 0x01B6;
inline constexpr std::uint16_t kHLink = 0x01B8;
inline constexpr std::uint16_t kCodeName = 0x01BA;
inline constexpr std::uint16_t kDv = 0x01BE;
inline constexpr std::uint16_t kRecalcId = 0x01C1;
inline constexpr std::uint16_t kDimensions = 0x0200;
inline constexpr std::uint16_t kBlank = 0x0201;
inline constexpr std::uint16_t kNumber = 0x0203;
inline constexpr std::uint16_t kLabel = 0x0204;
inline constexpr std::uint16_t kBoolErr = 0x0205;
inline constexpr std::uint16_t kString = 0x0207;
inline constexpr std::uint16_t kRow = 0x0208;
inline constexpr std::uint16_t kIndex = 0x020B;
inline constexpr std::uint16_t kArray = 0x0221;
inline constexpr std::uint16_t kTable = 0x0236;
inline constexpr std::uint16_t kDefaultRowHeight = 0x0225;
inline constexpr std::uint16_t kWindow2 = 0x023E;
inline constexpr std::uint16_t kRk = 0x027E;
inline constexpr std::uint16_t kStyle = 0x0293;
inline constexpr std::uint16_t kFormulaOld = 0x0406;
inline constexpr std::uint16_t kFormat = 0x041E;
inline constexpr std::uint16_t kShrFmla = 0x04BC;
inline constexpr std::uint16_t kQuickTip = 0x0800;
inline constexpr std::uint16_t kBof = 0x0809;
inline constexpr std::uint16_t kSheetProtection = 0x0867;
inline constexpr std::uint16_t kFeat = 0x0868;

// BOF substream types.
inline constexpr std::uint16_t kBofGlobals = 0x0005;
inline constexpr std::uint16_t kBofWorksheet = 0x0010;
inline constexpr std::uint16_t kBofChart = 0x0020;

inline constexpr std::uint16_t kBiff5 = 0x0500;
inline constexpr std::uint16_t kBiff8 = 0x0600;

}  // namespace xls::rec
