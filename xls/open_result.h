#pragma once
// What each result of TXLSWorkbook::Open means, in words for a user: the
// command-line tools print it, and the import names it in its error.

#include <string>

namespace xls {

// The reason behind an Open result; an empty text for 1 (read).
std::string OpenResultMessage(int result);

}  // namespace xls
