#include "app/window/testing/memory_log.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace app {

MemoryLog::MemoryLog(std::string name) : LogInsertionState(std::move(name)) { insertion_ = LogCharAttributes(Font()); }

void MemoryLog::SetFont(const TFont& value) {
  MemoryControl::SetFont(value);
  insertion_ = LogCharAttributes(value);
}

MemoryLog::LogLine MemoryLog::MakeLine(const AnsiString& text, const TFont& font) const {
  LogLine line{text, {}};
  if (!text.empty()) line.runs.push_back({0, LogCharAttributes(font)});
  return line;
}

TFont MemoryLog::CharAttributes(int line, int column) const {
  const LogLine& l = lines_.at(line);
  if (column < 0 || column >= static_cast<int>(l.text.size())) throw std::out_of_range("MemoryLog::CharAttributes");
  const auto after = std::upper_bound(l.runs.begin(), l.runs.end(), column,
                                      [](int c, const Run& run) { return c < run.start; });
  return std::prev(after)->font;
}

// Characters [from, to) of the line take `font`; the runs stay as few as
// the characters allow.
void MemoryLog::SetAttributes(LogLine& line, int from, int to, const TFont& font) {
  std::vector<TFont> chars(line.text.size());
  for (std::size_t r = 0; r < line.runs.size(); ++r) {
    const int end = r + 1 < line.runs.size() ? line.runs[r + 1].start : static_cast<int>(chars.size());
    std::fill(chars.begin() + line.runs[r].start, chars.begin() + end, line.runs[r].font);
  }
  std::fill(chars.begin() + from, chars.begin() + to, font);
  line.runs.clear();
  for (int i = 0; i < static_cast<int>(chars.size()); ++i) {
    if (line.runs.empty() || !(line.runs.back().font == chars[i])) line.runs.push_back({i, chars[i]});
  }
}

void MemoryLog::Clear() {
  lines_.clear();
  textLength_ = 0;
  CaretToEnd();
  firstVisible_ = 0;
}

void MemoryLog::AppendLine(const AnsiString& text) {
  for (const AnsiString& line : SplitLogLines(text)) {
    lines_.push_back(MakeLine(line, insertion_));
    textLength_ += static_cast<int>(line.size()) + 1;
  }
  CaretToEnd();
}

void MemoryLog::InsertLine(int index, const AnsiString& text) {
  index = std::clamp(index, 0, LineCount());
  lines_.insert(lines_.begin() + index, MakeLine(text, insertion_));
  textLength_ += static_cast<int>(text.size()) + 1;
  CaretToEnd();
}

void MemoryLog::ReplaceLine(int index, const AnsiString& text) {
  LogLine& line = lines_.at(index);
  const TFont font = line.runs.empty() ? insertion_ : line.runs.front().font;
  textLength_ += static_cast<int>(text.size()) - static_cast<int>(line.text.size());
  line = MakeLine(text, font);
  CaretToEnd();
}

void MemoryLog::DeleteLine(int index) {
  textLength_ -= static_cast<int>(lines_.at(index).text.size()) + 1;
  lines_.erase(lines_.begin() + index);
  firstVisible_ = std::min(firstVisible_, LineCount());
  CaretToEnd();
}

void MemoryLog::SetCaretPosition(int value) {
  selStart_ = std::clamp(value, 0, TextLength());
  selLength_ = 0;
}

void MemoryLog::Select(int start, int length) {
  const int total = TextLength();
  selStart_ = std::clamp(start, 0, total);
  selLength_ = std::clamp(length, 0, total - selStart_);
}

void MemoryLog::SetSelectionAttributes(const TFont& value) {
  int position = 0;  // of the line's first character
  const int end = selStart_ + selLength_;
  for (LogLine& line : lines_) {
    if (position >= end) break;
    const int length = static_cast<int>(line.text.size());
    const int from = std::max(selStart_ - position, 0);
    const int to = std::min(end - position, length);
    if (from < to) SetAttributes(line, from, to, LogCharAttributes(value));
    position += length + 1;  // the line break
  }
}

int MemoryLog::LineOfPosition(int position) const {
  int start = 0;
  for (int i = 0; i < LineCount(); ++i) {
    start += static_cast<int>(lines_[i].text.size()) + 1;
    if (position < start) return i;
  }
  return LineCount();  // the empty line after the last break
}

void MemoryLog::ScrollToCaret() {
  const int line = LineOfPosition(selStart_);
  if (line < firstVisible_) firstVisible_ = line;
  if (line >= firstVisible_ + kPageLines) firstVisible_ = line - kPageLines + 1;
}

void MemoryLog::CaretToEnd() {
  selStart_ = TextLength();
  selLength_ = 0;
}

}  // namespace app
