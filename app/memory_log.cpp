#include "app/memory_log.h"

#include <algorithm>

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

MemoryLog::MemoryLog(std::string name) : LogInsertionState(std::move(name)) { insertion_ = LogCharAttributes(Font()); }

void MemoryLog::SetFont(const TFont& value) {
  MemoryControl::SetFont(value);
  insertion_ = LogCharAttributes(value);
}

MemoryLog::LogLine MemoryLog::MakeLine(const AnsiString& text, const TFont& font) const {
  return {text, std::vector<TFont>(text.size(), LogCharAttributes(font))};
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
  const TFont font = line.attributes.empty() ? insertion_ : line.attributes.front();
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
  int position = 0;
  const int end = selStart_ + selLength_;
  for (LogLine& line : lines_) {
    for (TFont& attributes : line.attributes) {
      if (position >= selStart_ && position < end) attributes = LogCharAttributes(value);
      ++position;
    }
    ++position;  // the line break
    if (position >= end) break;
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
