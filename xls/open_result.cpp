#include "xls/open_result.h"

#include "xls/biff_reader.h"
#include "xls/decryption.h"

namespace xls {

std::string OpenResultMessage(int result) {
  switch (result) {
    case kOpenOk:
      return {};
    case kOpenUnfinished:
      return "the file ends before its last sheet does; the sheets read are kept";
    case kOpenNotWorkbook:
      return "not an XLS workbook (an .xlsx or .ods file, a text file, or a file that cannot be read)";
    case kOpenOldFormat:
      return "the workbook is in an Excel 2.x-4.0 format (BIFF2-BIFF4), too old to be read; open it in a "
             "spreadsheet program and save it as .xls (Excel 97-2003)";
    case kOpenCorrupt:
      return "the workbook is damaged or of an unknown version";
    case kFilePassTooShort:
    case kFilePassUnknownType:
      return "the workbook is encrypted in a way that cannot be read";
    case kFilePassNeedsPassword:
      return "the workbook is protected by a password";
    case kFilePassPasswordTooLong:
      return "the password is too long";
    case kFilePassWrongPassword:
      return "wrong password";
    default:
      return "the workbook cannot be read (result " + std::to_string(result) + ")";
  }
}

}  // namespace xls
