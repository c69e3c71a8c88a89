#pragma once
// Workbooks the end-to-end tests make from the reader fixtures with an
// independent tool (python3-olefile).

#include <filesystem>
#include <string>

#include "tests/cli_programs.h"

namespace e2e {

inline const std::filesystem::path kReaderFixtures =
    std::filesystem::path(TALVANE_SOURCE_DIR) / "xls" / "testdata" / "reader";

// The workbook stream of `compoundFile` written to `target` as a plain BIFF
// file without its last end-of-file record: every sheet is there, the
// stream's end is not. The run of the tool, its status 0 when done.
inline Result WriteStreamWithoutItsEnd(const std::filesystem::path& compoundFile,
                                       const std::filesystem::path& target) {
  return RunProgram({TALVANE_PYTHON, "-c",
                     "import olefile,struct,sys\n"
                     "data=olefile.OleFileIO(sys.argv[1]).openstream('Workbook').read()\n"
                     "at=last=0\n"
                     "while at+4<=len(data):\n"
                     "  rid,ln=struct.unpack('<HH',data[at:at+4])\n"
                     "  if rid==0 and ln==0: break\n"
                     "  last=at; at+=4+ln\n"
                     "open(sys.argv[2],'wb').write(data[:last])",
                     compoundFile.string(), target.string()});
}

}  // namespace e2e
