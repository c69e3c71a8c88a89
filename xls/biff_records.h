#pragma once
// Building BIFF8 records (`TXLSBlobList`): records are appended one after the
// other into one contiguous buffer, each a little-endian id, body length and
// body. A body longer than 8,224 bytes is cut there and continued in
// CONTINUE records; the shared string table splits itself by its own rule
// (biff_sst.cpp) and uses Close() to keep its bodies whole.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace xls {

inline constexpr std::size_t kMaxRecordBody = 8224;
inline constexpr std::size_t kRecordHeaderSize = 4;

namespace rec {
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
inline constexpr std::uint16_t kSelection = 0x001D;
inline constexpr std::uint16_t kDateMode = 0x0022;
inline constexpr std::uint16_t kLeftMargin = 0x0026;
inline constexpr std::uint16_t kRightMargin = 0x0027;
inline constexpr std::uint16_t kTopMargin = 0x0028;
inline constexpr std::uint16_t kBottomMargin = 0x0029;
inline constexpr std::uint16_t kPrintHeaders = 0x002A;
inline constexpr std::uint16_t kPrintGridlines = 0x002B;
inline constexpr std::uint16_t kFont = 0x0031;
inline constexpr std::uint16_t kContinue = 0x003C;
inline constexpr std::uint16_t kWindow1 = 0x003D;
inline constexpr std::uint16_t kBackup = 0x0040;
inline constexpr std::uint16_t kCodePage = 0x0042;
inline constexpr std::uint16_t kDefColWidth = 0x0055;
inline constexpr std::uint16_t kSaveRecalc = 0x005F;
inline constexpr std::uint16_t kObjProtect = 0x0063;
inline constexpr std::uint16_t kColInfo = 0x007D;
inline constexpr std::uint16_t kGuts = 0x0080;
inline constexpr std::uint16_t kWsBool = 0x0081;
inline constexpr std::uint16_t kGridSet = 0x0082;
inline constexpr std::uint16_t kHCenter = 0x0083;
inline constexpr std::uint16_t kVCenter = 0x0084;
inline constexpr std::uint16_t kBoundSheet = 0x0085;
inline constexpr std::uint16_t kCountry = 0x008C;
inline constexpr std::uint16_t kPalette = 0x0092;
inline constexpr std::uint16_t kStandardWidth = 0x0099;
inline constexpr std::uint16_t kFnGroupCount = 0x009C;
inline constexpr std::uint16_t kScl = 0x00A0;
inline constexpr std::uint16_t kSetup = 0x00A1;
inline constexpr std::uint16_t kMulRk = 0x00BD;
inline constexpr std::uint16_t kMulBlank = 0x00BE;
inline constexpr std::uint16_t kObProj = 0x00D3;
inline constexpr std::uint16_t kDbCell = 0x00D7;
inline constexpr std::uint16_t kBookBool = 0x00DA;
inline constexpr std::uint16_t kScenProtect = 0x00DD;
inline constexpr std::uint16_t kXF = 0x00E0;
inline constexpr std::uint16_t kMergedCells = 0x00E5;
inline constexpr std::uint16_t kMsoDrawingGroup = 0x00EB;
inline constexpr std::uint16_t kSst = 0x00FC;
inline constexpr std::uint16_t kLabelSst = 0x00FD;
inline constexpr std::uint16_t kExtSst = 0x00FF;
inline constexpr std::uint16_t kDsf = 0x0161;
inline constexpr std::uint16_t kSupBook = 0x01AE;
inline constexpr std::uint16_t kCodeName = 0x01BA;
inline constexpr std::uint16_t kRecalcId = 0x01C1;
inline constexpr std::uint16_t kDimensions = 0x0200;
inline constexpr std::uint16_t kBlank = 0x0201;
inline constexpr std::uint16_t kNumber = 0x0203;
inline constexpr std::uint16_t kBoolErr = 0x0205;
inline constexpr std::uint16_t kString = 0x0207;
inline constexpr std::uint16_t kRow = 0x0208;
inline constexpr std::uint16_t kIndex = 0x020B;
inline constexpr std::uint16_t kArray = 0x0221;
inline constexpr std::uint16_t kDefaultRowHeight = 0x0225;
inline constexpr std::uint16_t kWindow2 = 0x023E;
inline constexpr std::uint16_t kRk = 0x027E;
inline constexpr std::uint16_t kStyle = 0x0293;
inline constexpr std::uint16_t kFormat = 0x041E;
inline constexpr std::uint16_t kBof = 0x0809;
inline constexpr std::uint16_t kSheetProtection = 0x0867;
}  // namespace rec

class TXLSBlobList {
 public:
  // Starts a record; the body follows through the Put functions.
  void Begin(std::uint16_t id);
  // Ends the record begun last, continuing an over-long body in CONTINUE records.
  void End();
  // Ends the record begun last as it is (its body must fit the limit).
  void Close();

  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value) {
    std::uint8_t* p = Grow(2);
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
  }
  void U32(std::uint32_t value) {
    std::uint8_t* p = Grow(4);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  void F64(double value);
  void Bytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void Utf16(std::u16string_view text);
  // A BIFF8 string: character count (8 or 16 bits), option byte 1, UTF-16.
  void String8(std::u16string_view text);
  void String16(std::u16string_view text);

  // A whole record with a body given at once.
  void Record(std::uint16_t id, std::span<const std::uint8_t> body);
  void Record(std::uint16_t id) { Record(id, {}); }
  void RecordU16(std::uint16_t id, std::uint16_t value);

  std::size_t Size() const { return bytes_.size(); }
  // Bytes of the body written so far in the open record.
  std::size_t BodySize() const { return bytes_.size() - recordStart_ - kRecordHeaderSize; }
  std::size_t RecordStart() const { return recordStart_; }
  const std::vector<std::uint8_t>& Data() const { return bytes_; }
  std::vector<std::uint8_t>& Data() { return bytes_; }
  void Patch32(std::size_t offset, std::uint32_t value);
  void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }

 private:
  // Room for n more bytes at the end; returns where they go.
  std::uint8_t* Grow(std::size_t n) {
    const std::size_t old = bytes_.size();
    bytes_.resize(old + n);
    return bytes_.data() + old;
  }

  std::vector<std::uint8_t> bytes_;
  std::size_t recordStart_ = 0;
};

// The BOF record that opens a BIFF8 substream of the given type.
void WriteBof(TXLSBlobList& out, std::uint16_t substreamType);

}  // namespace xls
