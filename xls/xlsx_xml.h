#pragma once
// Streamed XML for the parts of an .xlsx package: expat parses the bytes as
// they are unpacked, so a sheet is never held as a tree. Element and
// attribute names arrive without their namespace prefix ("x:c" is "c",
// "r:id" is "id"). A document type declaration (the door to entity
// expansion) and nesting deeper than kMaxXmlDepth stop the parse.

#include <expat.h>

#include <cstddef>
#include <optional>
#include <string_view>

namespace xls {

inline constexpr int kMaxXmlDepth = 256;

class XlsxXmlHandler {
 public:
  virtual ~XlsxXmlHandler() = default;
  // `attributes` alternate names and values, ended by nullptr (expat's form).
  virtual void Start(std::string_view name, const char** attributes) = 0;
  virtual void End(std::string_view name) = 0;
  // Character data, possibly in several pieces.
  virtual void Text(std::string_view text) = 0;
};

// A number as XML writes it ("600123456", "-0.25", "1.5E-3", "+7"), read
// the same whatever the process's locale says a decimal separator is;
// nothing for anything else.
std::optional<double> XmlNumber(std::string_view text);

// The value of the attribute with the local name `name`, or nullptr.
const char* XmlAttribute(const char** attributes, std::string_view name);
// A name without its namespace prefix.
std::string_view XmlLocalName(const char* name);

class XlsxXmlStream {
 public:
  enum class Status { Ok, Malformed, TooDeep };

  explicit XlsxXmlStream(XlsxXmlHandler& handler);
  ~XlsxXmlStream();
  XlsxXmlStream(const XlsxXmlStream&) = delete;
  XlsxXmlStream& operator=(const XlsxXmlStream&) = delete;

  // Parses the next piece; `last` ends the document. False once the parse
  // has failed (status() says why).
  bool Feed(const char* data, std::size_t size, bool last);
  // The parser's own buffer for the next piece, at least `size` bytes
  // (nullptr when out of memory): a piece unpacked straight into it is
  // parsed without being copied there first (FeedBuffer).
  char* Buffer(std::size_t size);
  // Parses the first `size` bytes of Buffer; `last` ends the document.
  bool FeedBuffer(std::size_t size, bool last);
  Status status() const { return status_; }

 private:
  static void OnStart(void* self, const XML_Char* name, const XML_Char** attributes);
  static void OnEnd(void* self, const XML_Char* name);
  static void OnText(void* self, const XML_Char* text, int length);
  static void OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int);
  void Stop(Status why);

  XlsxXmlHandler& handler_;
  XML_Parser parser_;
  int depth_ = 0;
  Status status_ = Status::Ok;
};

}  // namespace xls
