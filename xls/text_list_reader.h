#pragma once
// Lists kept as plain text (CSV exports, .txt files of numbers) read into
// the workbook model as a one-column sheet: the first field of each line
// becomes a text cell in column A, line n in row n, so the import reads them
// as it reads column A of a spreadsheet. An empty line leaves its row empty.
//
// Fields are separated by commas, semicolons or tabs (whichever the list
// uses most outside quotes); a field in double quotes may hold separators,
// line breaks and doubled quotes. The text is UTF-8 (with or without a
// byte-order mark), UTF-16 with a byte-order mark, or else Windows-1250.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "xls/workbook.h"

namespace xls {

inline constexpr std::size_t kMaxTextListBytes = 64u << 20;

// Text, not some binary file: no NUL bytes and no control characters but
// tab, line breaks and form feed (a UTF-16 list with its byte-order mark
// counts as text).
bool LooksLikeTextList(std::span<const std::uint8_t> bytes);
// Strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool IsValidUtf8(std::string_view text);
// The list's characters, by the rules above.
std::u16string DecodeTextList(std::span<const std::uint8_t> bytes);
// ',', ';' or '\t': the separator the first lines use most outside quotes;
// ',' when they use none.
char16_t DetectSeparator(std::u16string_view text);

// Clears the workbook and reads the list into one sheet. kOpenOk,
// kOpenNotWorkbook (not text), kOpenTooLarge (past kMaxTextListBytes).
int ReadTextList(TXLSWorkbook& book, std::span<const std::uint8_t> bytes);

// Opens a spreadsheet by its content (BIFF, .xlsx) through TXLSWorkbook::Open,
// and a file that is neither but text as a list. The result code of Open.
int OpenWorkbookOrList(TXLSWorkbook& book, const std::string& utf8Path);

}  // namespace xls
