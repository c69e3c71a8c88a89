// TXLSWorkbook::Open: the BIFF reader fills the cleared workbook.

#include <filesystem>
#include <new>

#include "platform/codepage.h"
#include "xls/biff_reader.h"
#include "xls/workbook.h"

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

}  // namespace

int TXLSWorkbook::Open(std::u16string_view path, std::u16string_view password) {
  const std::filesystem::path file(platform::Utf16ToUtf8(path));
  const int result = ReadInto(*this, password, [&file](TXLSReader& reader) { return reader.Read(file); });
  if (result == kOpenOk || result == kOpenUnfinished) SetLastPath(std::u16string(path));
  return result;
}

int TXLSWorkbook::Open(const std::string& utf8Path, std::u16string_view password) {
  return Open(platform::Utf8ToUtf16(utf8Path), password);
}

int TXLSWorkbook::OpenBytes(std::span<const std::uint8_t> bytes, std::u16string_view password) {
  return ReadInto(*this, password, [bytes](TXLSReader& reader) { return reader.ReadBytes(bytes); });
}

}  // namespace xls
