#pragma once
// A string list shared by the main thread and the engine thread (the AT
// command queue and the received lines): a SharedQueue of text lines, with
// the list's text as a whole.

#include <string>
#include <string_view>
#include <vector>

#include "modem/shared_queue.h"
#include "modem/text_lines.h"

namespace modem {

class SharedList : public SharedQueue<std::string> {
 public:
  std::vector<std::string> Lines() const { return Values(); }
  // Every line followed by CR LF.
  std::string Text() const { return JoinLines(Lines()); }
  // Replaces the whole list by the lines of `text` (split at CR, LF, CR LF).
  void SetText(std::string_view text) { Replace(SplitLines(text)); }
};

}  // namespace modem
