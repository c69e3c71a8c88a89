#include "app/window/activity_log.h"

namespace app {

std::vector<AnsiString> SplitLogLines(const AnsiString& text) {
  std::vector<AnsiString> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

}  // namespace app
