#include "modem/component_log.h"

#include <optional>
#include <string>

#include "modem/text_lines.h"
#include "platform/codepage.h"
#include "platform/read_file.h"

namespace modem {
namespace {

// True when the file exists, is not empty and does not end with a line end.
bool EndsWithoutLineEnd(const std::filesystem::path& file) {
  const std::optional<char> last = platform::LastByteOfFile(file);
  return last && *last != '\n' && *last != '\r';
}

}  // namespace

bool AppendLogLine(const std::filesystem::path& file, std::string_view errorText, platform::SystemTime when) {
  std::string line = platform::FormatDateTime(when) + " > " + platform::AnsiToUtf8(errorText);
  line = ReplaceAll(ReplaceAll(line, "\r\n", "\n"), "\r", "\n");
  if (EndsWithoutLineEnd(file)) line.insert(0, "\n");
  return platform::AppendToFile(file, line + '\n');
}

}  // namespace modem
