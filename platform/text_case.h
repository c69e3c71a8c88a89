#pragma once
// Comparisons without regard to case, as the registry and INI files make them.
// Letters A-Z fold to a-z; other bytes compare as they are.
//
// Threads: pure functions, safe from any thread.

#include <string>
#include <string_view>

namespace platform {

char FoldCase(char c);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace platform
