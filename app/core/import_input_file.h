#pragma once
// The input file of the import: read whole, opened as a workbook (with the
// reason in words when it cannot be), and written back marked without losing
// what the user had: an encrypted file is never replaced by a plain copy, and
// when the copy cannot carry everything the original held, the original is
// kept next to it first.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/view_types.h"
#include "xls/workbook.h"

namespace app {

struct TInputWorkbook {
  std::string path;                  // a path of this system
  std::vector<std::uint8_t> bytes;   // the file as it was read
  xls::TXLSWorkbook book;
  int openResult = 0;
  xls::IXLSWorksheet* sheet = nullptr;  // the first worksheet
};

// Reads and opens the file; on failure false with `reason`, the program's
// text saying why (the file itself is never touched).
bool OpenInputWorkbook(TInputWorkbook& input, AnsiString& reason);

struct TWriteBack {
  enum class TKind { Saved, LeftEncrypted, BackupFailed, SaveFailed };
  TKind kind = TKind::Saved;
  int saveResult = 0;       // of SaveAs, when it ran
  std::string keptCopyPath; // the file as it was, kept in the program's folder before it was written over
  std::string backupPath;   // the original kept beside it too (the copy cannot carry everything), or empty
  std::string copyPath;     // an .xlsx or text list is left alone: its marked copy went here
  std::string error;        // of the backup write
};

// Writes the marked workbook back over its file (see above), a dated copy of
// the file as it was kept first (KeepDatedCopy). A workbook read
// from an .xlsx package or a text list is never written over with BIFF8:
// its marked copy goes next to it as a new .xls file (CopyPathFor).
TWriteBack WriteInputBack(TInputWorkbook& input);

// A free name for the copy of the original: "name.orig.xls", then
// "name.orig2.xls", "name.orig3.xls", ...
std::string BackupPathFor(const std::string& path);
// A free name for the marked BIFF8 copy of an .xlsx or text list:
// "name.xls", then "name_2.xls", "name_3.xls", ... (never an existing file).
std::string CopyPathFor(const std::string& path);

}  // namespace app
