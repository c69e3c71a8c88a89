#include "modem/component_log.h"

#include <fstream>
#include <string>

#include "modem/text_lines.h"
#include "platform/codepage.h"

namespace modem {
namespace {

// True when the file exists, is not empty and does not end with a line end.
bool EndsWithoutLineEnd(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in || in.tellg() <= 0) return false;
  in.seekg(-1, std::ios::end);
  char last = 0;
  in.get(last);
  return last != '\n' && last != '\r';
}

}  // namespace

bool AppendLogLine(const std::filesystem::path& file, std::string_view errorText, platform::SystemTime when) {
  std::string line = platform::FormatDateTime(when) + " > " + platform::AnsiToUtf8(errorText);
  line = ReplaceAll(ReplaceAll(line, "\r\n", "\n"), "\r", "\n");
  if (EndsWithoutLineEnd(file)) line.insert(0, "\n");
  std::ofstream out(file, std::ios::binary | std::ios::app);
  if (!out) return false;
  out << line << '\n';
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace modem
