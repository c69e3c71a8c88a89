#include "xls/result_codes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

#include "platform/file_system.h"

namespace xls {

namespace {

namespace fs = std::filesystem;

// Why a file cannot be opened for reading, or nothing when it can.
std::optional<std::string> WhyUnreadable(const fs::path& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) return "a folder, not a file";
  const platform::FileSystemCalls& calls = platform::FileSystem();
  const int fd = calls.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
  if (fd >= 0) {
    calls.close(fd);
    return std::nullopt;
  }
  if (errno == ENOENT) return "no such file";
  if (errno == ENOTDIR) return "no such folder";
  if (errno == EACCES || errno == EPERM) return "permission denied";
  return std::string("cannot read the file: ") + std::generic_category().message(errno);
}

// Why a file cannot be written at `path`, as far as the folder and the file
// there tell; nothing when both look writable.
std::optional<std::string> WhyUnwritable(const fs::path& path) {
  std::error_code error;
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, error)) return "no such folder";
  if (fs::is_directory(path, error)) return "a folder, not a file";
  const platform::FileSystemCalls& calls = platform::FileSystem();
  if (calls.access(folder.c_str(), W_OK) != 0) return "permission denied";
  if (fs::exists(path, error) && calls.access(path.c_str(), W_OK) != 0) return "permission denied";
  return std::nullopt;
}

std::string Unknown(int result) { return "unknown result " + std::to_string(result); }

}  // namespace

std::string OpenResultReason(int result, const fs::path& path) {
  switch (result) {
    case kOpenOk: return "opened";
    case kOpenCorrupt: return "damaged file";
    case kOpenNotWorkbook: return WhyUnreadable(path).value_or("not a spreadsheet");
    case kOpenOldFormat:
      return "an Excel 2.x-4.0 workbook (BIFF2-BIFF4), a format too old to be read; open it in a spreadsheet "
             "program and save it as .xls (Excel 97-2003)";
    case kOpenUnfinished: return "damaged file: it ends inside a sheet";
    case kFilePassTooShort: return "damaged file: its encryption header is cut short";
    case kFilePassUnknownType: return "encrypted in a way that cannot be read";
    case kFilePassNeedsPassword: return "encrypted with a password";
    case kFilePassPasswordTooLong: return "the password is longer than 31 characters";
    case kFilePassWrongPassword: return "wrong password";
    case kOpenEncryptedPackage: return "encrypted with a password";
    case kOpenTooLarge: return "damaged file: a part of it unpacks to an implausible size";
    case kOpenTooDeep: return "damaged file: its XML is nested too deeply or declares a document type";
    case kOpenEntryMissing: return "damaged file: a part of the workbook is missing";
    default: return Unknown(result);
  }
}

std::string SaveResultReason(int result, const fs::path& path) {
  switch (result) {
    case kSaveOk: return "saved";
    case kSaveEmptyPath: return "no file name";
    case kSaveCannotCreate:
      return WhyUnwritable(path).value_or("cannot write the file: the disk may be full or the file locked");
    case cfb::kTooLarge: return "too large for the file format";
    case cfb::kInvalidName: return "a part of the workbook has a name the file format forbids";
    default: return Unknown(result);
  }
}

}  // namespace xls
