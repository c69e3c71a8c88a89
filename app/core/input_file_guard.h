#pragma once
// What keeps the user's files safe from an import that writes into them: a
// file another program holds open is not touched at all; before the marks
// are written over a file, its bytes as they were are kept in the program's
// own folder, dated, the last 50 of them; and a result workbook that holds a
// campaign's marks is never written over by the next import.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <optional>
#include <string>
#include <string_view>

#include "app/core/view_types.h"

namespace app {

inline constexpr int kBackupsKept = 50;

// Why the file at `path` must not be imported now, in the program's words,
// or nothing: LibreOffice keeps ".~lock.NAME#" beside a file it has open,
// and would write its own copy over the marks (or keep the user's edits
// from them).
std::optional<AnsiString> HeldByAnotherProgram(const std::string& path);

// The folder of the kept copies: <program data folder>/backups.
std::string BackupFolder();

// Keeps `bytes`, the contents of the file at `path`, as a dated copy in
// BackupFolder() and leaves only the newest kBackupsKept copies there. The
// copy's path, or nothing with `error` saying why.
std::optional<std::string> KeepDatedCopy(const std::string& path, std::string_view bytes, std::string& error);

// Where an import's result workbook goes, `outPath` being the "_out" path:
// that path, unless the file there holds a campaign's marks (a green or red
// cell in column A) or cannot be read to tell; then the first of
// "NAME_out_2.xls", "NAME_out_3.xls", ... that does not exist.
std::string ResultPathKeepingMarks(const std::string& outPath);

// Why saving to `path` failed with the workbook's result code `code`, in the
// program's words (a read-only file, a missing folder, ...).
AnsiString SaveFailureReason(int code, const std::string& path);

}  // namespace app
