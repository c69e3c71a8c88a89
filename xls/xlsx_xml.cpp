#include "xls/xlsx_xml.h"

#include <charconv>
#include <climits>
#include <cstring>
#include <mutex>
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

namespace {

// libxml2 sets up its global tables once per process; the first parser of
// a process may be made on any thread.
void InitialiseParserOnce() {
  static std::once_flag once;
  std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace

XlsxXmlStream::XlsxXmlStream(XlsxXmlHandler& handler) : handler_(handler) {
  InitialiseParserOnce();
  // SAX1 events: names as written, attributes as name/value pairs ended by
  // nullptr, no namespace bookkeeping the entries never need.
  events_.startElement = &XlsxXmlStream::OnStart;
  events_.endElement = &XlsxXmlStream::OnEnd;
  events_.characters = &XlsxXmlStream::OnText;
  events_.ignorableWhitespace = &XlsxXmlStream::OnText;  // spaces of <t xml:space="preserve"> are text
  events_.cdataBlock = &XlsxXmlStream::OnText;
  events_.internalSubset = &XlsxXmlStream::OnDoctype;
  events_.externalSubset = &XlsxXmlStream::OnDoctype;
  events_.warning = &XlsxXmlStream::OnMessage;
  events_.error = &XlsxXmlStream::OnMessage;
  events_.fatalError = &XlsxXmlStream::OnMessage;
  parser_ = xmlCreatePushParserCtxt(&events_, this, nullptr, 0, nullptr);
  if (!parser_) throw std::bad_alloc();
  // No entities substituted, no DTD loaded, nothing fetched, no messages.
  xmlCtxtUseOptions(parser_, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
}

XlsxXmlStream::~XlsxXmlStream() { xmlFreeParserCtxt(parser_); }

bool XlsxXmlStream::Feed(const char* data, std::size_t size, bool last) {
  if (status_ != Status::Ok) return false;
  // libxml2 takes an int length: large pieces go in slices.
  constexpr std::size_t kSlice = 1 << 20;
  do {
    const std::size_t piece = size < kSlice ? size : kSlice;
    const bool final = last && piece == size;
    const int error = xmlParseChunk(parser_, data, static_cast<int>(piece), final ? 1 : 0);
    if (status_ != Status::Ok) return false;
    if (error != 0 || !parser_->wellFormed) {
      status_ = Status::Malformed;
      return false;
    }
    data += piece;
    size -= piece;
  } while (size > 0);
  return true;
}

void XlsxXmlStream::Stop(Status why) {
  if (status_ == Status::Ok) status_ = why;
  xmlStopParser(parser_);
}

XlsxXmlStream& XlsxXmlStream::Of(void* context) { return *static_cast<XlsxXmlStream*>(context); }

void XlsxXmlStream::OnStart(void* self, const xmlChar* name, const xmlChar** attributes) {
  XlsxXmlStream& stream = Of(self);
  if (stream.status_ != Status::Ok) return;
  if (++stream.depth_ > kMaxXmlDepth) return stream.Stop(Status::TooDeep);
  stream.handler_.Start(XmlLocalName(reinterpret_cast<const char*>(name)), reinterpret_cast<const char**>(attributes));
}

void XlsxXmlStream::OnEnd(void* self, const xmlChar* name) {
  XlsxXmlStream& stream = Of(self);
  if (stream.status_ != Status::Ok) return;
  --stream.depth_;
  stream.handler_.End(XmlLocalName(reinterpret_cast<const char*>(name)));
}

void XlsxXmlStream::OnText(void* self, const xmlChar* text, int length) {
  XlsxXmlStream& stream = Of(self);
  if (stream.status_ != Status::Ok || length <= 0) return;
  stream.handler_.Text(std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
}

void XlsxXmlStream::OnDoctype(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
  // The entries of a workbook never declare a document type; one that does is
  // after entity expansion.
  Of(self).Stop(Status::TooDeep);
}

}  // namespace xls
