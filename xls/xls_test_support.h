#pragma once
// Helpers shared by the workbook tests: walking the records of a written
// workbook stream, and running the independent Python readers over a file.

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/test_folder.h"

namespace xls::testing {

struct ParsedRecord {
  std::uint16_t id = 0;
  std::size_t offset = 0;  // of the record header in the stream
  std::vector<std::uint8_t> body;

  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(body.at(at) | (body.at(at + 1) << 8)); }
  std::uint32_t U32(std::size_t at) const { return U16(at) | (static_cast<std::uint32_t>(U16(at + 2)) << 16); }
};

// The records of a stream up to its padding (a zero id after the last EOF).
inline std::vector<ParsedRecord> ParseRecords(const std::vector<std::uint8_t>& stream) {
  std::vector<ParsedRecord> records;
  std::size_t at = 0;
  while (at + 4 <= stream.size()) {
    const std::uint16_t id = static_cast<std::uint16_t>(stream[at] | (stream[at + 1] << 8));
    const std::size_t length = static_cast<std::size_t>(stream[at + 2] | (stream[at + 3] << 8));
    if (id == 0 && length == 0) break;
    if (at + 4 + length > stream.size()) break;
    records.push_back({id, at, std::vector<std::uint8_t>(stream.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                                         stream.begin() + static_cast<std::ptrdiff_t>(at + 4 + length))});
    at += 4 + length;
  }
  return records;
}

inline std::vector<ParsedRecord> RecordsWithId(const std::vector<ParsedRecord>& records, std::uint16_t id) {
  std::vector<ParsedRecord> found;
  for (const ParsedRecord& record : records) {
    if (record.id == id) found.push_back(record);
  }
  return found;
}

struct CommandResult {
  int status = -1;
  std::string output;
};

// Runs a shell command and collects its standard output and error.
inline CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The independent reader check of testdata/check_xls.py on a file against
// the expectations file (see the script for its lines).
inline CommandResult CheckWithXlrd(const std::filesystem::path& file, const std::filesystem::path& expectations) {
  return RunCommand(std::string(TALVANE_PYTHON) + " " + TALVANE_SOURCE_DIR + "/xls/testdata/check_xls.py '" +
                    file.string() + "' '" + expectations.string() + "'");
}

// A fresh folder for the files of one test, removed with the object.
using TestFolder = platform::TestFolder;

}  // namespace xls::testing
