#include "modem/text_fields.h"

#include "platform/text.h"

namespace modem {
namespace {

using platform::TrimBlanks;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one field starting at `pos` (just after a separator or at the start);
// leaves `pos` on the comma that ends it, or at the end of the line.
std::string ReadField(std::string_view line, size_t& pos) {
  size_t start = pos;
  while (start < line.size() && IsBlank(line[start])) ++start;
  if (start < line.size() && line[start] == '"') {
    std::string field;
    size_t i = start + 1;
    while (i < line.size()) {
      if (line[i] == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          field.push_back('"');
          i += 2;
          continue;
        }
        ++i;  // closing quote
        break;
      }
      field.push_back(line[i++]);
    }
    // Anything between the closing quote and the next comma belongs to the field.
    const size_t comma = line.find(',', i);
    const size_t end = comma == std::string_view::npos ? line.size() : comma;
    field.append(TrimBlanks(line.substr(i, end - i)));
    pos = end;
    return field;
  }
  const size_t comma = line.find(',', pos);
  const size_t end = comma == std::string_view::npos ? line.size() : comma;
  std::string field(TrimBlanks(line.substr(pos, end - pos)));
  pos = end;
  return field;
}

}  // namespace

std::vector<std::string> CsvFields(std::string_view line) {
  std::vector<std::string> fields;
  if (TrimBlanks(line).empty()) return fields;
  size_t pos = 0;
  while (true) {
    fields.push_back(ReadField(line, pos));
    if (pos >= line.size()) break;
    ++pos;  // the comma
  }
  return fields;
}

std::string CsvField(std::string_view line, size_t index) {
  size_t pos = 0;
  for (size_t i = 0;; ++i) {
    if (pos > line.size()) return {};
    std::string field = ReadField(line, pos);
    if (i == index) return field;
    if (pos >= line.size()) return {};
    ++pos;
  }
}

std::string CsvQuote(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

std::string SplitAt(std::string& text, std::string_view delimiter) {
  const size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
  std::string head;
  if (at == std::string::npos) {
    head = std::string(TrimBlanks(text));
    text.clear();
  } else {
    head = std::string(TrimBlanks(std::string_view(text).substr(0, at)));
    text = std::string(TrimBlanks(std::string_view(text).substr(at + delimiter.size())));
  }
  return head;
}

}  // namespace modem
