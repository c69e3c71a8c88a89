#include "xls/text_list_reader.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/codepage.h"

namespace xls {

namespace {

constexpr std::size_t kSeparatorSampleLines = 50;

bool Utf16Bom(std::span<const std::uint8_t> bytes, bool& littleEndian) {
  if (bytes.size() < 2) return false;
  if (bytes[0] == 0xFF && bytes[1] == 0xFE) {
    littleEndian = true;
    return true;
  }
  if (bytes[0] == 0xFE && bytes[1] == 0xFF) {
    littleEndian = false;
    return true;
  }
  return false;
}

bool Utf8Bom(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
}

bool IsStrayControl(char32_t c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f'; }

// The first field of the line starting at `at`; `at` moves to the next line.
std::u16string FirstField(std::u16string_view text, std::size_t& at, char16_t separator) {
  std::u16string field;
  bool quoted = false, done = false;
  if (at < text.size() && text[at] == u'"') {
    quoted = true;
    ++at;
  }
  while (at < text.size()) {
    const char16_t c = text[at];
    if (quoted) {
      ++at;
      if (c != u'"') {
        field += c;
      } else if (at < text.size() && text[at] == u'"') {
        field += u'"';
        ++at;
      } else {
        quoted = false;
        done = true;  // what follows the closing quote up to the separator is not part of the field
      }
      continue;
    }
    if (c == u'\r' || c == u'\n') break;
    if (c == separator) done = true;
    if (!done) field += c;
    ++at;
  }
  if (at < text.size() && text[at] == u'\r') ++at;
  if (at < text.size() && text[at] == u'\n') ++at;
  return field;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    int length = 0;
    char32_t code = 0;
    if (byte < 0x80) {
      ++i;
      continue;
    } else if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2, code = byte & 0x1F;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3, code = byte & 0x0F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4, code = byte & 0x07;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(length) > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
      return false;
    i += static_cast<std::size_t>(length);
  }
  return true;
}

bool LooksLikeTextList(std::span<const std::uint8_t> bytes) {
  bool littleEndian = true;
  if (Utf16Bom(bytes, littleEndian)) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const char16_t c = littleEndian ? static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8))
                                      : static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]);
      if (IsStrayControl(c)) return false;
    }
    return true;
  }
  for (const std::uint8_t byte : bytes) {
    if (IsStrayControl(byte)) return false;
  }
  return true;
}

std::u16string DecodeTextList(std::span<const std::uint8_t> bytes) {
  bool littleEndian = true;
  if (Utf16Bom(bytes, littleEndian)) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += littleEndian ? static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8))
                           : static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]);
    return text;
  }
  std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (Utf8Bom(bytes)) return platform::Utf8ToUtf16(raw.substr(3));
  if (IsValidUtf8(raw)) return platform::Utf8ToUtf16(raw);
  return platform::AnsiToUnicode(raw, platform::kCodePageAnsi);
}

char16_t DetectSeparator(std::u16string_view text) {
  static constexpr std::array<char16_t, 3> kCandidates{u'\t', u';', u','};
  std::array<std::size_t, 3> counts{};
  bool quoted = false;
  std::size_t lines = 0;
  for (const char16_t c : text) {
    if (c == u'"') quoted = !quoted;
    if (quoted) continue;
    if (c == u'\n' && ++lines >= kSeparatorSampleLines) break;
    for (std::size_t k = 0; k < kCandidates.size(); ++k) counts[k] += c == kCandidates[k];
  }
  std::size_t best = 2;  // a comma when no separator shows
  for (std::size_t k = 0; k < kCandidates.size(); ++k) {
    if (counts[k] > counts[best]) best = k;
  }
  return kCandidates[best];
}

int ReadTextList(TXLSWorkbook& book, std::span<const std::uint8_t> bytes) {
  book.Clear();
  if (bytes.size() > kMaxTextListBytes) return kOpenTooLarge;
  if (!LooksLikeTextList(bytes)) return kOpenNotWorkbook;
  const std::u16string text = DecodeTextList(bytes);
  const char16_t separator = DetectSeparator(text);
  IXLSWorksheet& sheet = *book.Worksheets().Add();
  std::size_t at = 0;
  for (int row = 0; at < text.size(); ++row) {
    const std::u16string field = FirstField(text, at, separator);
    if (row >= kRowCount) {  // past the sheet's last row: only blank lines may follow
      if (field.empty()) continue;
      sheet.NoteRowsLeftOut();
      break;
    }
    if (!field.empty()) sheet.SetCellText(sheet.GetOrCreateCell(row, 0), field);
  }
  // Only the first field of each line is kept: a copy is never the whole list.
  book.NoteSaveLoss(kLossUnreadRecords);
  book.SetFormatRead(FileFormat::Text);
  book.AdvanceRecalcStamp();
  return kOpenOk;
}

int OpenWorkbookOrList(TXLSWorkbook& book, const std::string& utf8Path) {
  const int opened = book.Open(utf8Path);
  if (opened != kOpenNotWorkbook) return opened;
  const std::filesystem::path file(utf8Path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return opened;
  if (std::filesystem::file_size(file, error) > kMaxTextListBytes) return error ? opened : kOpenTooLarge;
  std::ifstream in(file, std::ios::binary);
  if (!in) return opened;
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || !LooksLikeTextList(bytes)) return opened;
  const int read = ReadTextList(book, bytes);
  if (read == kOpenOk) book.SetLastPath(platform::Utf8ToUtf16(utf8Path));
  return read;
}

}  // namespace xls
