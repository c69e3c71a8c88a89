#pragma once
// Conversion between the program's 8-bit text and Unicode.
//
// The program's own 8-bit text is Windows-1250 (the code page of the Polish
// systems it serves), held in std::string under the name AnsiString. Unicode
// text lives as UTF-16 inside the codec and the workbook model; UTF-8 only at
// the edges (console, widgets, files written for people).
//
// Threads: pure conversions, safe from any thread.

#include <string>
#include <string_view>

namespace platform {

using AnsiString = std::string;

inline constexpr int kCodePageAnsi = 1250;   // the program's own code page
inline constexpr int kCodePageWestern = 1252;
inline constexpr int kCodePageUtf16 = 1200;  // BIFF CODEPAGE value of Unicode workbooks

// Decodes 8-bit text of the given code page. 1250 and 1252 use exact tables
// (a byte with no assigned character maps to the same code point, as the
// system's own tables do); other code pages go through iconv and fall back
// to 1252 when iconv does not know them.
std::u16string AnsiToUnicode(std::string_view text, int codePage = kCodePageAnsi);

// Encodes UTF-16 text into the given code page; a character the code page
// cannot hold becomes `fallback`. Surrogate pairs count as one character.
AnsiString UnicodeToAnsi(std::u16string_view text, int codePage = kCodePageAnsi, char fallback = '?');

// True when every character of `text` has a place in the code page.
bool IsRepresentable(std::u16string_view text, int codePage = kCodePageAnsi);

// UTF-8 <-> UTF-16. Malformed UTF-8 sequences become U+FFFD; lone surrogates
// become U+FFFD on the way out.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Shorthands for the edges: the program's Windows-1250 text <-> UTF-8.
std::string AnsiToUtf8(std::string_view text);
AnsiString Utf8ToAnsi(std::string_view text, char fallback = '?');

}  // namespace platform
