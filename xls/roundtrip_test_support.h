#pragma once
// Helpers of the round-trip tests: a workbook stream built in a test put
// into a file, and what python3-xlrd reads from a file (through
// testdata/dump_values.py), one JSON line per cell or name.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "xls/cfb/compound_file_writer.h"
#include "xls/xls_test_support.h"

namespace xls::testing {

// Writes a BIFF8 workbook stream into a compound file at `path`.
inline void WriteWorkbookFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& stream,
                              std::u16string_view streamName = u"Workbook") {
  cfb::CompoundFileWriter file;
  file.AddStream(file.Root(), streamName, stream);
  std::vector<std::uint8_t> bytes;
  file.SaveToBytes(bytes);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct XlrdDump {
  int status = -1;
  std::vector<std::string> lines;
  std::string output;

  // The line of a cell, or "" when xlrd has none there.
  std::string Cell(int sheet, int row, int column) const {
    const std::string prefix = "{\"sheet\": " + std::to_string(sheet) + ", \"row\": " + std::to_string(row) +
                               ", \"col\": " + std::to_string(column) + ",";
    for (const std::string& line : lines) {
      if (line.rfind(prefix, 0) == 0) return line;
    }
    return {};
  }
  // The line of a defined name, or "".
  std::string Name(const std::string& name) const {
    const std::string prefix = "{\"name\": \"" + name + "\",";
    for (const std::string& line : lines) {
      if (line.rfind(prefix, 0) == 0) return line;
    }
    return {};
  }
};

inline XlrdDump DumpWithXlrd(const std::filesystem::path& file) {
  const CommandResult result = RunCommand(std::string(TALVANE_PYTHON) + " " + TALVANE_SOURCE_DIR +
                                          "/xls/testdata/dump_values.py '" + file.string() + "'");
  XlrdDump dump;
  dump.status = result.status;
  dump.output = result.output;
  std::istringstream in(result.output);
  for (std::string line; std::getline(in, line);) dump.lines.push_back(line);
  return dump;
}

// The raw JSON text of a field of a line (a number, a quoted string with its
// escapes, a list), or "" when the line has no such field.
inline std::string JsonField(const std::string& line, const std::string& key) {
  const std::string marker = "\"" + key + "\": ";
  const std::size_t start = line.find(marker);
  if (start == std::string::npos) return {};
  std::size_t at = start + marker.size();
  const std::size_t begin = at;
  int depth = 0;
  bool inString = false;
  for (; at < line.size(); ++at) {
    const char c = line[at];
    if (inString) {
      if (c == '\\') {
        ++at;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') inString = true;
    if (c == '[' || c == '{') ++depth;
    if ((c == ']' || c == '}') && depth-- == 0) break;
    if (c == ',' && depth == 0) break;
  }
  return line.substr(begin, at - begin);
}

inline double JsonNumber(const std::string& line, const std::string& key) {
  return std::strtod(JsonField(line, key).c_str(), nullptr);
}

}  // namespace xls::testing
