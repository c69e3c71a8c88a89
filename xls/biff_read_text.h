#pragma once
// Strings as BIFF records hold them. A BIFF8 string is a character count (8
// or 16 bits, by record), an option byte (bit 0: 16-bit characters; bit 3:
// a run count follows; bit 2: an extended-data size follows) and the
// characters; a BIFF5 string has no option byte and 8-bit characters.
//
// 16-bit characters are UTF-16. 8-bit characters of a BIFF8 file are the low
// bytes of UTF-16 characters (the format's compressed form); those of a
// BIFF5 file are text in the workbook's code page (CODEPAGE), or in the
// program's own 8-bit code page when the file names none or names UTF-16
// (1200). A BIFF5 file of code page 1200 may hold UTF-16LE bytes there,
// counted in bytes, beside 8-bit ones: each text is read as UTF-16 when its
// bytes are. Texts are cut at their first NUL character.
//
// Threads: one workbook read or save, on the caller's thread; no shared state.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "xls/biff_read_body.h"
#include "xls/string_table.h"

namespace xls {

// A shared string as the file holds it: its formatting runs count fonts as
// the FONT records do (there is no font 4).
struct TXLSReadString {
  std::u16string text;
  std::vector<TXLSRichRun> runs;
};

class TXLSTextDecoder {
 public:
  TXLSTextDecoder() = default;
  TXLSTextDecoder(bool biff8, int codePage) : biff8_(biff8), codePage_(codePage) {}

  bool Biff8() const { return biff8_; }
  // 8-bit characters to UTF-16.
  std::u16string Decode8(std::span<const std::uint8_t> bytes) const;
  // Little-endian UTF-16 code units to UTF-16.
  static std::u16string Decode16(std::span<const std::uint8_t> bytes);

 private:
  bool biff8_ = true;
  int codePage_ = 0;
};

// Cuts a text at its first NUL character.
void CutAtNul(std::u16string& text);

// Reads a string at `offset`: its count is `countBytes` (1 or 2) wide. The
// characters that the body does not hold are left out. `end`, when given,
// receives the offset after the string (formatting runs and extended data
// included).
std::u16string ReadBiffString(const TXLSBody& body, std::size_t offset, int countBytes,
                              const TXLSTextDecoder& decoder, std::size_t* end = nullptr);

// Reads `count` characters at `offset` whose form is given by the option
// byte `options` (BIFF8) or 8-bit (BIFF5).
std::u16string ReadBiffChars(const TXLSBody& body, std::size_t offset, std::size_t count, std::uint8_t options,
                             const TXLSTextDecoder& decoder, std::size_t* end = nullptr);

// The shared strings of an SST record group (the SST body and the bodies of
// its CONTINUE records): at most the announced number, fewer when the
// records end first. Strings may continue across record boundaries; the
// continuation starts with a fresh option byte. Formatting runs are kept,
// extended data is skipped, also across boundaries.
std::vector<TXLSReadString> ReadSharedStrings(const std::vector<std::span<const std::uint8_t>>& bodies,
                                              const TXLSTextDecoder& decoder);

// The string (16-bit count) that fills a record and goes on in its CONTINUE
// records, as a long formula text result (STRING) does; each continuation
// starts with a fresh option byte. What the records hold of a string cut
// short.
std::u16string ReadContinuedString(const std::vector<std::span<const std::uint8_t>>& bodies,
                                   const TXLSTextDecoder& decoder);

}  // namespace xls
