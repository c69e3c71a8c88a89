#pragma once
// Result codes of opening a workbook (TXLSWorkbook::Open, OpenBytes) and of
// saving one (SaveAs). As everywhere in the spreadsheet code, 1 means success
// and failures are other values; callers compare against these names. A
// failure of the compound file container during a save comes back as its own
// code (xls/cfb/result_codes.h).
//
// The codes of Open and SaveAs overlap (-1 is a damaged file for one and an
// empty path for the other), so each has its own reason function.
//
// Threads: the reason functions are safe from any thread.

#include <filesystem>
#include <string>

#include "xls/cfb/result_codes.h"

namespace xls {

// Open.
inline constexpr int kOpenOk = 1;
// Bad version, a record body cut short, a record too short to read.
inline constexpr int kOpenCorrupt = -1;
// No workbook stream in a compound file, not a plain BIFF file either; also
// a file that cannot be read at all (missing, not permitted, a folder).
inline constexpr int kOpenNotWorkbook = -3;
// A workbook of a format older than BIFF5 (BIFF2-BIFF4, Excel 2.x to 4.0):
// refused, with a reason that says how to convert it.
inline constexpr int kOpenOldFormat = -4;
// The file ends inside a sheet: what was read stays in the workbook, closed
// as if the file had ended there, and can be saved.
inline constexpr int kOpenUnfinished = 100;
// Encrypted workbooks.
inline constexpr int kFilePassTooShort = -1001;         // the encryption header is cut short
inline constexpr int kFilePassUnknownType = -1002;      // an encryption this reader does not know
inline constexpr int kFilePassNeedsPassword = -1003;    // protected by a password none was given for
inline constexpr int kFilePassPasswordTooLong = -1004;  // the password given is longer than 31 characters
inline constexpr int kFilePassWrongPassword = -1005;    // the password given does not open it
// A password-protected .xlsx: a compound file holding an encrypted package.
inline constexpr int kOpenEncryptedPackage = -1006;
// .xlsx workbooks (zip packages of XML entries).
inline constexpr int kOpenTooLarge = -10;     // an entry unpacks past the reader's limit (a zip bomb)
inline constexpr int kOpenTooDeep = -11;      // XML nested past the reader's limit, or a document type declaration
inline constexpr int kOpenEntryMissing = -12;  // the workbook or a sheet entry named by it is not in the package

// SaveAs.
inline constexpr int kSaveOk = 1;
inline constexpr int kSaveEmptyPath = -1;
// The file cannot be created, written or put in place (the container's
// cfb::kCannotCreate).
inline constexpr int kSaveCannotCreate = cfb::kCannotCreate;

// A short reason in words for the result of opening `path` ("no such file",
// "permission denied", "not a spreadsheet", "damaged file", "encrypted with a
// password", ...). Where one code stands for several causes, the file system
// is asked which one it was.
std::string OpenResultReason(int result, const std::filesystem::path& path);
// The same for the result of saving to `path` ("no such folder", "permission
// denied", "too large for the file format", ...).
std::string SaveResultReason(int result, const std::filesystem::path& path);

}  // namespace xls
