#include "xls/biff_read_text.h"

#include "platform/codepage.h"

namespace xls {

namespace {

constexpr std::uint8_t kOption16Bit = 0x01;
constexpr std::uint8_t kOptionExtended = 0x04;
constexpr std::uint8_t kOptionRichText = 0x08;
constexpr std::size_t kRunSize = 4;

constexpr int kCodePageUtf16 = 1200;
constexpr int kCodePageMacRoman = 32768;  // as BIFF writes it; 10000 for the converter

// Characters no text of a sheet holds: control characters other than the
// tab and line breaks (NUL included). Bytes 0x80-0x9F are letters and signs
// in the Windows code pages, so only code units count them.
bool IsControlByte(std::uint8_t c) { return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F; }
bool IsControl(char16_t c) { return c < 0x80 ? IsControlByte(static_cast<std::uint8_t>(c)) : c < 0xA0; }

// True when every code unit reads as a character of a text: no control
// character, no lone surrogate, no noncharacter.
bool IsPlausibleUtf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsControl(unit) || unit == 0xFFFE || unit == 0xFFFF) return false;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return false;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

// Whether the bytes of a BIFF5 text of the UTF-16 code page are UTF-16LE.
// Their 8-bit reading must be implausible (a control byte): every ASCII,
// Latin, Greek, Cyrillic... character in UTF-16 has a byte below 0x20, which
// no 8-bit text of a sheet holds; and their UTF-16 reading plausible. A text
// only of characters without such a byte (CJK, "€") reads as 8-bit.
bool HoldsUtf16(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() % 2 != 0) return false;
  bool controlByte = false;
  for (std::uint8_t byte : bytes) controlByte = controlByte || IsControlByte(byte);
  return controlByte && IsPlausibleUtf16(TXLSTextDecoder::Decode16(bytes));
}

int ConverterCodePage(int codePage) {
  if (codePage == 0 || codePage == kCodePageUtf16) return platform::kCodePageAnsi;
  if (codePage == kCodePageMacRoman) return 10000;
  return codePage;
}

// Reads the bytes of a string group one segment (record body) after the other.
class SegmentCursor {
 public:
  explicit SegmentCursor(const std::vector<std::span<const std::uint8_t>>& segments) : segments_(segments) {}

  bool AtEnd() {
    SkipEmptySegments();
    return segment_ >= segments_.size();
  }
  std::size_t LeftInSegment() const {
    return segment_ < segments_.size() ? segments_[segment_].size() - position_ : 0;
  }
  // A field may straddle a record boundary; bytes past the last record read as missing.
  bool Read(std::size_t count, std::uint32_t& value) {
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (AtEnd()) return false;
      value |= static_cast<std::uint32_t>(segments_[segment_][position_++]) << (8 * i);
    }
    return true;
  }
  std::span<const std::uint8_t> Take(std::size_t count) {
    const std::span<const std::uint8_t> part = segments_[segment_].subspan(position_, count);
    position_ += count;
    return part;
  }
  // Moves to the start of the next record; false when there is none.
  bool NextSegment() {
    if (segment_ >= segments_.size()) return false;
    ++segment_;
    position_ = 0;
    return segment_ < segments_.size();
  }
  bool Skip(std::uint64_t count) {
    while (count > 0) {
      if (AtEnd()) return false;
      const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(count, LeftInSegment()));
      position_ += step;
      count -= step;
    }
    return true;
  }

 private:
  void SkipEmptySegments() {
    while (segment_ < segments_.size() && position_ >= segments_[segment_].size()) {
      ++segment_;
      position_ = 0;
    }
  }

  const std::vector<std::span<const std::uint8_t>>& segments_;
  std::size_t segment_ = 0;
  std::size_t position_ = 0;
};

// One SST string; false when the records end before it is complete.
bool ReadSharedString(SegmentCursor& cursor, const TXLSTextDecoder& decoder, std::u16string& text,
                      std::vector<TXLSRichRun>* keptRuns = nullptr) {
  std::uint32_t count = 0, options = 0, runs = 0, extended = 0;
  if (!cursor.Read(2, count) || !cursor.Read(1, options)) return false;
  if ((options & kOptionRichText) && !cursor.Read(2, runs)) return false;
  if ((options & kOptionExtended) && !cursor.Read(4, extended)) return false;
  text.clear();
  std::size_t left = count;
  bool wide = options & kOption16Bit;
  while (left > 0) {
    const std::size_t width = wide ? 2 : 1;
    const std::size_t fit = std::min(left, cursor.LeftInSegment() / width);
    const std::span<const std::uint8_t> part = cursor.Take(fit * width);
    text += wide ? TXLSTextDecoder::Decode16(part) : decoder.Decode8(part);
    left -= fit;
    if (left == 0) break;
    // The characters go on in the next record, behind a fresh option byte.
    std::uint32_t nextOptions = 0;
    if (!cursor.NextSegment() || !cursor.Read(1, nextOptions)) return false;
    wide = nextOptions & kOption16Bit;
  }
  CutAtNul(text);
  if (!keptRuns) return cursor.Skip(static_cast<std::uint64_t>(runs) * kRunSize + extended);
  keptRuns->clear();
  for (std::uint32_t i = 0; i < runs; ++i) {
    std::uint32_t firstChar = 0, font = 0;
    if (!cursor.Read(2, firstChar) || !cursor.Read(2, font)) return false;
    keptRuns->push_back({static_cast<std::uint16_t>(firstChar), static_cast<std::uint16_t>(font)});
  }
  return cursor.Skip(extended);
}

}  // namespace

std::u16string TXLSTextDecoder::Decode8(std::span<const std::uint8_t> bytes) const {
  // A BIFF5 file whose code page is UTF-16 (as one program's BIFF7 export
  // writes) holds its ASCII texts as 8-bit bytes and every other text as
  // UTF-16LE bytes, counted in bytes, side by side.
  if (!biff8_ && codePage_ == kCodePageUtf16 && HoldsUtf16(bytes)) return Decode16(bytes);
  std::u16string text;
  text.reserve(bytes.size());
  bool ascii = true;
  for (std::uint8_t byte : bytes) {
    ascii = ascii && byte < 0x80;
    text.push_back(static_cast<char16_t>(byte));
  }
  if (biff8_ || ascii) return text;
  return platform::AnsiToUnicode(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), ConverterCodePage(codePage_));
}

std::u16string TXLSTextDecoder::Decode16(std::span<const std::uint8_t> bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return text;
}

void CutAtNul(std::u16string& text) {
  const std::size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
}

std::u16string ReadBiffChars(const TXLSBody& body, std::size_t offset, std::size_t count, std::uint8_t options,
                             const TXLSTextDecoder& decoder, std::size_t* end) {
  const bool wide = decoder.Biff8() && (options & kOption16Bit);
  const std::size_t width = wide ? 2 : 1;
  const std::span<const std::uint8_t> bytes = body.Slice(offset, count * width);
  std::u16string text = wide ? TXLSTextDecoder::Decode16(bytes) : decoder.Decode8(bytes);
  CutAtNul(text);
  if (end) *end = offset + count * width;
  return text;
}

std::u16string ReadBiffString(const TXLSBody& body, std::size_t offset, int countBytes,
                              const TXLSTextDecoder& decoder, std::size_t* end) {
  const std::size_t count = countBytes == 1 ? body.U8(offset) : body.U16(offset);
  std::size_t at = offset + static_cast<std::size_t>(countBytes);
  if (!decoder.Biff8()) return ReadBiffChars(body, at, count, 0, decoder, end);
  const std::uint8_t options = body.U8(at++);
  std::size_t runs = 0, extended = 0;
  if (options & kOptionRichText) {
    runs = body.U16(at);
    at += 2;
  }
  if (options & kOptionExtended) {
    extended = body.U32(at);
    at += 4;
  }
  std::u16string text = ReadBiffChars(body, at, count, options, decoder, end);
  if (end) *end += runs * kRunSize + extended;
  return text;
}

std::vector<TXLSReadString> ReadSharedStrings(const std::vector<std::span<const std::uint8_t>>& bodies,
                                              const TXLSTextDecoder& decoder) {
  std::vector<TXLSReadString> strings;
  if (bodies.empty()) return strings;
  const TXLSBody head(bodies.front());
  const std::uint32_t announced = head.U32(4);
  // The strings start after the two counts, or in the first CONTINUE when
  // the SST body holds nothing more.
  std::vector<std::span<const std::uint8_t>> segments = bodies;
  segments.front() = head.Slice(8);
  SegmentCursor cursor(segments);
  TXLSReadString string;
  while (strings.size() < announced && !cursor.AtEnd()) {
    if (!ReadSharedString(cursor, decoder, string.text, &string.runs)) {
      if (!string.text.empty()) strings.push_back({string.text, {}});  // keep what the records held of the last one
      break;
    }
    strings.push_back(string);
  }
  return strings;
}

std::u16string ReadContinuedString(const std::vector<std::span<const std::uint8_t>>& bodies,
                                   const TXLSTextDecoder& decoder) {
  if (bodies.empty()) return {};
  if (!decoder.Biff8()) return ReadBiffString(TXLSBody(bodies.front()), 0, 2, decoder);
  SegmentCursor cursor(bodies);
  std::u16string text;
  ReadSharedString(cursor, decoder, text);
  return text;
}

}  // namespace xls
