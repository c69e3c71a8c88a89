#pragma once
// The entries of an .xlsx package around the sheets: relationships, the
// workbook entry with its list of sheets, and the shared strings.

#include <string>
#include <vector>

#include "xls/xlsx_package.h"

namespace xls {

struct XlsxRelationship {
  std::string id;
  std::string type;    // the relationship type URI
  std::string target;  // resolved entry name (external targets stay as written)
  bool external = false;
};

struct XlsxSheetEntry {
  std::u16string name;
  std::string relationshipId;
  bool hidden = false;
};

// The relationships of `entry`; an entry without a relationships entry has none.
int ReadRelationships(XlsxPackage& package, std::string_view entry, std::vector<XlsxRelationship>& out);
// The first relationship whose type ends with `typeSuffix` ("/worksheet"), or nullptr.
const XlsxRelationship* FindRelationshipByType(const std::vector<XlsxRelationship>& list, std::string_view typeSuffix);
const XlsxRelationship* FindRelationshipById(const std::vector<XlsxRelationship>& list, std::string_view id);

// The sheets of the workbook entry in the workbook's own order, and whether
// it counts days from 1904.
int ReadWorkbookEntry(XlsxPackage& package, std::string_view entry, std::vector<XlsxSheetEntry>& sheets,
                     bool& date1904);

// The shared strings; rich text runs become their plain text, phonetic
// guides are left out.
int ReadSharedStringsEntry(XlsxPackage& package, std::string_view entry, std::vector<std::u16string>& out);

// The text of an <is> or <si> element as it streams by: the <t> elements
// outside phonetic runs.
class XlsxRichTextCollector {
 public:
  void Start(std::string_view name);
  void End(std::string_view name);
  void Text(std::string_view text) {
    if (inText_ && phonetic_ == 0) utf8_.append(text);
  }
  // The collected text, and a fresh start.
  std::u16string Take();
  // The same, appended to `out` (no string of its own for each cell).
  void TakeInto(std::u16string& out);
  bool Empty() const { return utf8_.empty(); }
  // A fresh start, dropping what was collected.
  void Clear() {
    utf8_.clear();
    inText_ = false;
    phonetic_ = 0;
  }

 private:
  std::string utf8_;
  bool inText_ = false;
  int phonetic_ = 0;
};

}  // namespace xls
