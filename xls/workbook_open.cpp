// TXLSWorkbook::Open: the file's content, not its name, picks the reader. A
// zip package is an .xlsx workbook; anything else goes to the BIFF reader
// (compound files and plain BIFF streams).

#include <filesystem>
#include <fstream>
#include <new>

#include "platform/codepage.h"
#include "xls/biff_reader.h"
#include "xls/workbook.h"
#include "xls/xlsx_package.h"
#include "xls/xlsx_reader.h"

namespace xls {

namespace {

template <typename ReadFunction>
int ReadInto(TXLSWorkbook& book, std::u16string_view password, ReadFunction read) {
  book.Clear();
  TXLSReader reader(book, std::u16string(password));
  int result = kOpenCorrupt;
  try {
    result = read(reader);
  } catch (const std::exception&) {
    result = kOpenCorrupt;  // a file that asks for more memory than there is
  }
  if (result == kOpenOk || result == kOpenUnfinished) book.SetFormatRead(reader.Format());
  return result;
}

int ReadXlsxInto(TXLSWorkbook& book, std::span<const std::uint8_t> bytes) {
  book.Clear();
  try {
    return ReadXlsxWorkbook(book, bytes);
  } catch (const std::exception&) {
    return kOpenCorrupt;
  }
}

bool StartsAsZip(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::uint8_t head[4] = {};
  in.read(reinterpret_cast<char*>(head), sizeof head);
  return in.gcount() == sizeof head && LooksLikeZip(head);
}

bool ReadWholeFile(const std::filesystem::path& file, std::vector<std::uint8_t>& out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int TXLSWorkbook::Open(std::u16string_view path, std::u16string_view password) {
  const std::filesystem::path file(platform::Utf16ToUtf8(path));
  int result = kOpenNotWorkbook;
  if (StartsAsZip(file)) {
    std::vector<std::uint8_t> bytes;
    result = ReadWholeFile(file, bytes) ? ReadXlsxInto(*this, bytes) : kOpenNotWorkbook;
  } else {
    result = ReadInto(*this, password, [&file](TXLSReader& reader) { return reader.Read(file); });
  }
  if (result == kOpenOk || result == kOpenUnfinished) SetLastPath(std::u16string(path));
  return result;
}

int TXLSWorkbook::Open(const std::string& utf8Path, std::u16string_view password) {
  return Open(platform::Utf8ToUtf16(utf8Path), password);
}

int TXLSWorkbook::OpenBytes(std::span<const std::uint8_t> bytes, std::u16string_view password) {
  if (LooksLikeZip(bytes)) return ReadXlsxInto(*this, bytes);
  return ReadInto(*this, password, [bytes](TXLSReader& reader) { return reader.ReadBytes(bytes); });
}

}  // namespace xls
