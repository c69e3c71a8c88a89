#pragma once
// The two small text tools the component and its engine share: the CSV field
// reader (part lines, modem answers) and the splitting of a text at a delimiter.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <string>
#include <string_view>
#include <vector>

namespace modem {

// Fields separated by commas, counted from 0. A field may be enclosed in
// double quotes: inside them a comma does not separate and a doubled quote
// stands for one quote. Unquoted fields are trimmed of blanks.
std::vector<std::string> CsvFields(std::string_view line);
// Field `index` of the line; empty when the line has fewer fields.
std::string CsvField(std::string_view line, size_t index);
// `text` as one quoted CSV field: in double quotes, inner quotes doubled.
// CsvField(CsvQuote(x), 0) == x for every x.
std::string CsvQuote(std::string_view text);

// Returns the text before the first occurrence of `delimiter` and leaves in
// `text` what follows it; without the delimiter the whole text is returned
// and `text` becomes empty. Both lose leading and trailing blanks (space and
// tab: CR and LF stay).
std::string SplitAt(std::string& text, std::string_view delimiter);

}  // namespace modem
