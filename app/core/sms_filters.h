#pragma once
// The two character filters of the message editor. Each turns a text of the
// program's single-byte characters into a text of the same kind, character
// by character, through a fixed table of 256 entries: an entry v up to 255
// stands for the byte v, an entry above 256 for the escape byte 0x1B followed
// by the byte v - 256.
//
// SmsFilterPolish keeps the Polish letters and maps other characters that a
// message cannot carry onto the nearest one it can (some onto the positions
// the GSM alphabet gives them, which are control codes in the program's code
// page). SmsFilterPlain does the same and also turns the Polish letters into
// plain ones; applied after SmsFilterPolish it leaves only characters the
// editor can show.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <array>
#include <string>
#include <string_view>

namespace app {

using FilterTable = std::array<int, 256>;

const FilterTable& SmsFilterPolishTable();
const FilterTable& SmsFilterPlainTable();

std::string SmsFilterPolish(std::string_view text);
std::string SmsFilterPlain(std::string_view text);

}  // namespace app
