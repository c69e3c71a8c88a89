#include "xls/xlsx_xml.h"

#include <charconv>
#include <climits>
#include <cstring>
#include <new>

namespace xls {

std::optional<double> XmlNumber(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
  if (text.front() == '+') text.remove_prefix(1);  // from_chars takes no plus sign
  double value = 0;
  const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || next != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string_view XmlLocalName(const char* name) {
  // One pass over the name: it is asked for every element and attribute.
  const char* local = name;
  const char* at = name;
  for (; *at; ++at) {
    if (*at == ':') local = at + 1;
  }
  return std::string_view(local, static_cast<std::size_t>(at - local));
}

const char* XmlAttribute(const char** attributes, std::string_view name) {
  for (const char** at = attributes; at && *at; at += 2) {
    if (XmlLocalName(at[0]) == name) return at[1];
  }
  return nullptr;
}

XlsxXmlStream::XlsxXmlStream(XlsxXmlHandler& handler) : handler_(handler), parser_(XML_ParserCreate(nullptr)) {
  if (!parser_) throw std::bad_alloc();
  XML_SetUserData(parser_, this);
  XML_SetElementHandler(parser_, &XlsxXmlStream::OnStart, &XlsxXmlStream::OnEnd);
  XML_SetCharacterDataHandler(parser_, &XlsxXmlStream::OnText);
  XML_SetStartDoctypeDeclHandler(parser_, &XlsxXmlStream::OnDoctype);
}

XlsxXmlStream::~XlsxXmlStream() { XML_ParserFree(parser_); }

bool XlsxXmlStream::Feed(const char* data, std::size_t size, bool last) {
  if (status_ != Status::Ok) return false;
  // expat takes an int length: large pieces go in slices.
  constexpr std::size_t kSlice = 1 << 20;
  do {
    const std::size_t piece = size < kSlice ? size : kSlice;
    const bool final = last && piece == size;
    if (XML_Parse(parser_, data, static_cast<int>(piece), final ? 1 : 0) != XML_STATUS_OK) {
      if (status_ == Status::Ok) status_ = Status::Malformed;
      return false;
    }
    data += piece;
    size -= piece;
  } while (size > 0);
  return status_ == Status::Ok;
}

char* XlsxXmlStream::Buffer(std::size_t size) {
  if (status_ != Status::Ok || size > static_cast<std::size_t>(INT_MAX)) return nullptr;
  return static_cast<char*>(XML_GetBuffer(parser_, static_cast<int>(size)));
}

bool XlsxXmlStream::FeedBuffer(std::size_t size, bool last) {
  if (status_ != Status::Ok) return false;
  if (XML_ParseBuffer(parser_, static_cast<int>(size), last ? 1 : 0) != XML_STATUS_OK) {
    if (status_ == Status::Ok) status_ = Status::Malformed;
    return false;
  }
  return status_ == Status::Ok;
}

void XlsxXmlStream::Stop(Status why) {
  if (status_ == Status::Ok) status_ = why;
  XML_StopParser(parser_, XML_FALSE);
}

void XlsxXmlStream::OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
  auto& stream = *static_cast<XlsxXmlStream*>(self);
  if (stream.status_ != Status::Ok) return;
  if (++stream.depth_ > kMaxXmlDepth) return stream.Stop(Status::TooDeep);
  stream.handler_.Start(XmlLocalName(name), attributes);
}

void XlsxXmlStream::OnEnd(void* self, const XML_Char* name) {
  auto& stream = *static_cast<XlsxXmlStream*>(self);
  if (stream.status_ != Status::Ok) return;
  --stream.depth_;
  stream.handler_.End(XmlLocalName(name));
}

void XlsxXmlStream::OnText(void* self, const XML_Char* text, int length) {
  auto& stream = *static_cast<XlsxXmlStream*>(self);
  if (stream.status_ != Status::Ok || length <= 0) return;
  stream.handler_.Text(std::string_view(text, static_cast<std::size_t>(length)));
}

void XlsxXmlStream::OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  // The parts of a workbook never declare a document type; one that does is
  // after entity expansion.
  static_cast<XlsxXmlStream*>(self)->Stop(Status::TooDeep);
}

}  // namespace xls
