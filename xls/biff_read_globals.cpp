// The records of the workbook globals: settings, fonts, cell formats, number
// formats, styles, the palette, the sheet list, the shared strings, external
// references and the drawing group.

#include "xls/biff_record_ids.h"
#include "xls/biff_reader.h"

namespace xls {

namespace {

constexpr std::size_t kFontFixedSize = 15;
constexpr std::uint16_t kFontAutomaticColour = 0x7FFF;
constexpr std::uint16_t kBoldWeight = 400;
constexpr std::size_t kXFSizeBiff8 = 20;
constexpr std::size_t kXFSizeBiff5 = 16;
constexpr std::uint16_t kXFStyleBit = 0x0004;
constexpr std::uint16_t kSelfSupBook = 0x0401;
constexpr std::uint16_t kDeletedSheet = 0xFFFF;

bool Flag(std::uint16_t word, int bit) { return (word >> bit) & 1; }

std::vector<std::uint8_t> Joined(const TXLSRecordGroup& group) {
  std::vector<std::uint8_t> bytes;
  for (const auto& body : group.bodies) bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

// BIFF5 keeps borders in other places; they are put into the BIFF8 layout.
void Biff5Borders(const TXLSBody& body, TXLSXF& xf) {
  const std::uint32_t fill = body.U32(8);
  const std::uint32_t lines = body.U32(12);
  const std::uint32_t bottomStyle = (fill >> 22) & 0x07;
  const std::uint32_t bottomColour = (fill >> 25) & 0x7F;
  const std::uint32_t topStyle = lines & 0x07;
  const std::uint32_t leftStyle = (lines >> 3) & 0x07;
  const std::uint32_t rightStyle = (lines >> 6) & 0x07;
  const std::uint32_t topColour = (lines >> 9) & 0x7F;
  const std::uint32_t leftColour = (lines >> 16) & 0x7F;
  const std::uint32_t rightColour = (lines >> 23) & 0x7F;
  xf.borders = leftStyle | (rightStyle << 4) | (topStyle << 8) | (bottomStyle << 12) | (leftColour << 16) |
               (rightColour << 23);
  xf.borderColours = topColour | (bottomColour << 7);
  xf.pattern = static_cast<std::uint8_t>((fill >> 16) & 0x3F);
  xf.fillColours = static_cast<std::uint16_t>(fill & 0x3FFF);
}

std::uint8_t Biff5Rotation(std::uint8_t orientation) {
  switch (orientation & 0x03) {
    case 1:
      return 255;  // stacked letters
    case 2:
      return 90;
    case 3:
      return 180;
    default:
      return 0;
  }
}

}  // namespace

int TXLSReader::OnGlobals(const TXLSRecordGroup& group) {
  const TXLSBody body = group.Body();
  switch (group.id) {
    case rec::kRefMode:
      if (body.Size() > 1) book_.SetA1ReferenceStyle(body.U16(0) == 1);
      break;
    case rec::kProtect:
      if (body.Size() > 1) book_.Protection().isProtected = body.U16(0) == 1;
      break;
    case rec::kPassword:
      if (body.Size() > 1) book_.Protection().passwordHash = body.U16(0);
      break;
    case rec::kDateMode:
      if (body.Size() > 1) book_.SetDate1904(body.U16(0) == 1);
      break;
    case rec::kCodePage:
      if (body.Size() > 1) {
        codePage_ = body.U16(0);
        book_.SetCodePage(codePage_);
      }
      break;
    case rec::kWindow1:
      if (body.Size() > 15) {
        activeTab_ = body.U16(10);
        firstVisibleTab_ = body.U16(12);
      }
      break;
    case rec::kFilePass:
      return OnFilePass(body);
    case rec::kFont:
      return OnFont(body);
    case rec::kXF:
      OnXF(body);
      break;
    case rec::kFormat:
      OnFormat(body);
      break;
    case rec::kStyle:
      OnStyle(body);
      break;
    case rec::kPalette:
      OnPalette(body);
      break;
    case rec::kBoundSheet:
      OnBoundSheet(body);
      break;
    case rec::kName:
      OnName(group);
      break;
    case rec::kSst:
      if (Biff8()) strings_ = ReadSharedStrings(group.bodies, Decoder());
      break;
    case rec::kSupBook:
      if (Biff8()) OnSupBook(body);
      break;
    case rec::kExternSheet:
      if (Biff8()) {
        const std::vector<std::uint8_t> bytes = Joined(group);
        OnExternSheet(TXLSBody(bytes));
      }
      break;
    case rec::kExternName:
      if (Biff8()) OnExternName(group);
      break;
    case rec::kCodeName:
      if (Biff8()) book_.SetCodeName(ReadBiffString(body, 0, 2, Decoder()));
      break;
    case rec::kMsoDrawingGroup:
      if (Biff8()) OnDrawingGroup(group);
      break;
    case rec::kSxStreamId:  // a pivot cache
      book_.NoteSaveLoss(kLossUnreadRecords);
      break;
    default:
      break;
  }
  return kOpenOk;
}

int TXLSReader::OnFilePass(const TXLSBody& body) {
  int result = kOpenOk;
  std::unique_ptr<TXLSDecrypter> decrypter = CreateDecrypter(body, Biff8(), password_, result);
  if (result != kOpenOk) return result;
  stream_.SetDecrypter(std::move(decrypter));
  book_.SetOpenedEncrypted(true);
  return kOpenOk;
}

int TXLSReader::OnFont(const TXLSBody& body) {
  const int position = fontCounter_++;
  TXLSFontData font;
  const std::size_t nameLength = body.U8(14);
  const std::size_t nameStart = Biff8() ? 16 : 15;
  const bool wide = Biff8() && (body.U8(15) & 0x01);
  if (!body.Has(0, kFontFixedSize) || !body.Has(nameStart, nameLength * (wide ? 2 : 1))) {
    book_.Fonts().Set(position, TXLSFontData{});
    book_.Fonts().SetFileFontCount(fontCounter_);
    return kOpenCorrupt;
  }
  font.height = body.U16(0);
  const std::uint16_t attributes = body.U16(2);
  font.italic = Flag(attributes, 1);
  font.strikeout = Flag(attributes, 3);
  font.outline = Flag(attributes, 4);
  font.shadow = Flag(attributes, 5);
  const std::uint16_t colour = body.U16(4);
  font.colour = colour == kFontAutomaticColour ? 0 : colour;
  font.bold = body.U16(6) > kBoldWeight;
  font.escapement = static_cast<std::uint8_t>(body.U16(8));
  font.underline = body.U8(10);
  font.family = body.U8(11);
  font.charset = body.U8(12);
  font.name = Biff8() ? ReadBiffChars(body, 16, nameLength, body.U8(15), Decoder())
                      : ReadBiffChars(body, 15, nameLength, 0, Decoder());
  book_.Fonts().Set(position, font);
  book_.Fonts().SetFileFontCount(fontCounter_);
  return kOpenOk;
}

void TXLSReader::OnXF(const TXLSBody& body) {
  const std::uint32_t position = xfCounter_++;
  TXLSXF xf;
  if (!body.Has(0, Biff8() ? kXFSizeBiff8 : kXFSizeBiff5)) {
    book_.XFList().Set(position, xf);
    return;
  }
  const std::uint16_t font = body.U16(0);
  xf.font = font > 4 ? static_cast<std::uint16_t>(font - 1) : font;  // the file has no font 4
  xf.numFormat = body.U16(2);
  const std::uint16_t type = body.U16(4);
  xf.protection = static_cast<std::uint8_t>(type & 0x03);
  const auto parent = static_cast<std::uint16_t>(type >> 4);
  if (type & kXFStyleBit) {
    xf.parent = kStyleParent;
  } else {
    xf.parent = parent == kStyleParent ? 0 : parent;
  }
  xf.alignment = body.U8(6);
  if (Biff8()) {
    xf.rotation = body.U8(7);
    xf.indent = body.U8(8);
    xf.usedAttributes = static_cast<std::uint8_t>(body.U8(9) >> 2);
    xf.borders = body.U32(10);
    const std::uint32_t colours = body.U32(14);
    xf.borderColours = colours & 0x03FFFFFF;
    xf.pattern = static_cast<std::uint8_t>(colours >> 26);
    xf.fillColours = body.U16(18);
  } else {
    xf.rotation = Biff5Rotation(body.U8(7));
    xf.indent = 0;
    xf.usedAttributes = static_cast<std::uint8_t>(body.U8(7) >> 2);
    Biff5Borders(body, xf);
  }
  book_.XFList().Set(position, xf);
}

void TXLSReader::OnFormat(const TXLSBody& body) {
  if (!body.Has(0, 3)) return;
  book_.NumFormats().Set(body.U16(0), ReadBiffString(body, 2, Biff8() ? 2 : 1, Decoder()));
}

void TXLSReader::OnStyle(const TXLSBody& body) {
  if (!body.Has(0, 3)) return;
  std::vector<TXLSStyle>& styles = book_.XFList().Styles();
  if (!stylesRead_) {
    styles.clear();  // the file's styles replace those of a new workbook
    stylesRead_ = true;
  }
  const std::uint16_t word = body.U16(0);
  TXLSStyle style;
  style.xf = word & 0x0FFF;
  const std::uint32_t knownXFs = xfCounter_ > 0 ? xfCounter_ : static_cast<std::uint32_t>(book_.XFList().Count());
  if (style.xf >= knownXFs) return;
  if (word & 0x8000) {
    style.builtIn = true;
    style.builtInId = body.U8(2);
    style.level = body.U8(3);
  } else {
    style.builtIn = false;
    style.name = Biff8() ? ReadBiffString(body, 2, 2, Decoder()) : ReadBiffString(body, 2, 1, Decoder());
  }
  styles.push_back(std::move(style));
}

void TXLSReader::OnPalette(const TXLSBody& body) {
  const int count = body.U16(0);
  for (int k = 1; k <= count && k <= kUserColourCount; ++k) {
    const std::size_t at = 2 + 4 * static_cast<std::size_t>(k - 1);
    if (!body.Has(at, 3)) break;
    book_.Palette().SetColour(k, Rgb(body.U8(at), body.U8(at + 1), body.U8(at + 2)));
  }
}

void TXLSReader::OnBoundSheet(const TXLSBody& body) {
  const std::uint8_t type = body.U8(5);
  if (!body.Has(0, 7) || (type != static_cast<std::uint8_t>(SheetType::Worksheet) &&
                          type != static_cast<std::uint8_t>(SheetType::Chart))) {
    tabs_.push_back(nullptr);  // a macro sheet or module: its substream is skipped
    book_.NoteSaveLoss(kLossSkippedSheets);
    return;
  }
  IXLSWorksheet* sheet = book_.Worksheets().Add();
  std::u16string name = ReadBiffString(body, 6, 1, Decoder());
  if (!name.empty()) sheet->SetName(std::move(name));
  const std::uint8_t visibility = body.U8(4) & 0x03;
  sheet->SetVisibility(visibility <= 2 ? static_cast<SheetVisibility>(visibility) : SheetVisibility::Hidden);
  sheet->SetType(static_cast<SheetType>(type));
  tabs_.push_back(sheet);
}

void TXLSReader::OnSupBook(const TXLSBody& body) {
  TXLSSupBook supBook;
  supBook.self = body.Size() == 4 && body.U16(2) == kSelfSupBook;
  if (!supBook.self) supBook.body.assign(body.Bytes().begin(), body.Bytes().end());
  book_.Externals().supBooks.push_back(std::move(supBook));
}

void TXLSReader::OnExternSheet(const TXLSBody& body) {
  TXLSExternals& externals = book_.Externals();
  const std::size_t count = std::min<std::size_t>(body.U16(0), body.Size() >= 2 ? (body.Size() - 2) / 6 : 0);
  // Sheet references into this workbook count BOUNDSHEET positions; skipped
  // sheets are gone, so they are renumbered to the sheets as read.
  auto position = [this](std::uint16_t tab) -> std::uint16_t {
    if (tab >= tabs_.size()) return tab;  // 0xFFFE, 0xFFFF: workbook level or deleted
    const IXLSWorksheet* sheet = tabs_[tab];
    return sheet ? static_cast<std::uint16_t>(book_.Worksheets().PositionOf(sheet) - 1) : kDeletedSheet;
  };
  externals.sheets.clear();
  for (std::size_t i = 0; i < count; ++i) {
    TXLSExternSheetRef ref;
    ref.supBook = body.U16(2 + 6 * i);
    ref.firstSheet = body.U16(4 + 6 * i);
    ref.lastSheet = body.U16(6 + 6 * i);
    const bool self = ref.supBook < externals.supBooks.size() && externals.supBooks[ref.supBook].self;
    if (self) {
      ref.firstSheet = position(ref.firstSheet);
      ref.lastSheet = position(ref.lastSheet);
    }
    externals.sheets.push_back(ref);
  }
}

void TXLSReader::OnExternName(const TXLSRecordGroup& group) {
  std::vector<TXLSSupBook>& supBooks = book_.Externals().supBooks;
  if (supBooks.empty()) return;
  Keep(group, supBooks.back().externNames);
}

void TXLSReader::OnDrawingGroup(const TXLSRecordGroup& group) { Keep(group, book_.DrawingGroup()); }

}  // namespace xls
