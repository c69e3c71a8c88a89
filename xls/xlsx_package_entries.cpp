#include "xls/xlsx_package_entries.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"
#include "xls/result_codes.h"

namespace xls {

namespace {

bool IsTrue(const char* value) { return value && (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0); }

class RelationshipsHandler : public XlsxXmlHandler {
 public:
  RelationshipsHandler(std::string_view source, std::vector<XlsxRelationship>& out) : source_(source), out_(out) {}
  void Start(std::string_view name, const char** attributes) override {
    if (name != "Relationship") return;
    const char* id = XmlAttribute(attributes, "Id");
    const char* type = XmlAttribute(attributes, "Type");
    const char* target = XmlAttribute(attributes, "Target");
    const char* mode = XmlAttribute(attributes, "TargetMode");
    if (!id || !type || !target) return;
    XlsxRelationship relationship{id, type, target, mode && std::strcmp(mode, "External") == 0};
    if (!relationship.external) relationship.target = ResolveEntryName(source_, target);
    out_.push_back(std::move(relationship));
  }
  void End(std::string_view) override {}
  void Text(std::string_view) override {}

 private:
  std::string source_;
  std::vector<XlsxRelationship>& out_;
};

class WorkbookHandler : public XlsxXmlHandler {
 public:
  WorkbookHandler(std::vector<XlsxSheetEntry>& sheets, bool& date1904) : sheets_(sheets), date1904_(date1904) {}
  void Start(std::string_view name, const char** attributes) override {
    if (name == "workbookPr") {
      date1904_ = IsTrue(XmlAttribute(attributes, "date1904"));
    } else if (name == "sheet") {
      const char* id = XmlAttribute(attributes, "id");
      const char* sheetName = XmlAttribute(attributes, "name");
      const char* state = XmlAttribute(attributes, "state");
      if (!id) return;
      sheets_.push_back({platform::Utf8ToUtf16(sheetName ? sheetName : ""), id,
                         state && std::strcmp(state, "visible") != 0});
    }
  }
  void End(std::string_view) override {}
  void Text(std::string_view) override {}

 private:
  std::vector<XlsxSheetEntry>& sheets_;
  bool& date1904_;
};

class SharedStringsHandler : public XlsxXmlHandler {
 public:
  explicit SharedStringsHandler(std::vector<std::u16string>& out) : out_(out) {}
  void Start(std::string_view name, const char**) override { text_.Start(name); }
  void End(std::string_view name) override {
    text_.End(name);
    if (name == "si") out_.push_back(text_.Take());
  }
  void Text(std::string_view text) override { text_.Text(text); }

 private:
  std::vector<std::u16string>& out_;
  XlsxRichTextCollector text_;
};

}  // namespace

void XlsxRichTextCollector::Start(std::string_view name) {
  if (name == "rPh") ++phonetic_;
  if (name == "t") inText_ = true;
}

void XlsxRichTextCollector::End(std::string_view name) {
  if (name == "rPh" && phonetic_ > 0) --phonetic_;
  if (name == "t") inText_ = false;
}

void XlsxRichTextCollector::TakeInto(std::u16string& out) {
  const bool ascii = std::all_of(utf8_.begin(), utf8_.end(), [](char c) { return (c & 0x80) == 0; });
  if (ascii) {
    // Widened in place: append(first, last) across character types builds a
    // temporary string first.
    const std::size_t at = out.size();
    out.resize(at + utf8_.size());
    std::copy(utf8_.begin(), utf8_.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  } else {
    out += platform::Utf8ToUtf16(utf8_);
  }
  Clear();
}

std::u16string XlsxRichTextCollector::Take() {
  std::u16string text = platform::Utf8ToUtf16(utf8_);
  utf8_.clear();
  inText_ = false;
  phonetic_ = 0;
  return text;
}

int ReadRelationships(XlsxPackage& package, std::string_view entry, std::vector<XlsxRelationship>& out) {
  const std::string rels = RelationshipsEntryOf(entry);
  if (!package.Has(rels)) return kOpenOk;
  RelationshipsHandler handler(entry, out);
  return package.ReadEntry(rels, handler);
}

const XlsxRelationship* FindRelationshipByType(const std::vector<XlsxRelationship>& list, std::string_view typeSuffix) {
  for (const XlsxRelationship& relationship : list) {
    if (!relationship.external && relationship.type.ends_with(typeSuffix)) return &relationship;
  }
  return nullptr;
}

const XlsxRelationship* FindRelationshipById(const std::vector<XlsxRelationship>& list, std::string_view id) {
  for (const XlsxRelationship& relationship : list) {
    if (relationship.id == id) return &relationship;
  }
  return nullptr;
}

int ReadWorkbookEntry(XlsxPackage& package, std::string_view entry, std::vector<XlsxSheetEntry>& sheets,
                     bool& date1904) {
  WorkbookHandler handler(sheets, date1904);
  return package.ReadEntry(entry, handler);
}

int ReadSharedStringsEntry(XlsxPackage& package, std::string_view entry, std::vector<std::u16string>& out) {
  SharedStringsHandler handler(out);
  return package.ReadEntry(entry, handler);
}

}  // namespace xls
