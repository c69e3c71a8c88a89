#include "xls/biff_records.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace xls {

void TXLSBlobList::Begin(std::uint16_t id) {
  recordStart_ = bytes_.size();
  U16(id);
  U16(0);  // length, set by End
}

void TXLSBlobList::Close() {
  const std::size_t length = BodySize();
  bytes_[recordStart_ + 2] = static_cast<std::uint8_t>(length);
  bytes_[recordStart_ + 3] = static_cast<std::uint8_t>(length >> 8);
}

void TXLSBlobList::End() {
  if (BodySize() <= kMaxRecordBody) return Close();
  const std::size_t restStart = recordStart_ + kRecordHeaderSize + kMaxRecordBody;
  std::vector<std::uint8_t> rest(bytes_.begin() + static_cast<std::ptrdiff_t>(restStart), bytes_.end());
  bytes_.resize(restStart);
  Close();
  for (std::size_t offset = 0; offset < rest.size(); offset += kMaxRecordBody) {
    const std::size_t length = std::min(kMaxRecordBody, rest.size() - offset);
    Begin(rec::kContinue);
    Bytes(std::span(rest).subspan(offset, length));
    Close();
  }
}

void TXLSBlobList::F64(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  std::uint8_t* p = Grow(8);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

void TXLSBlobList::Utf16(std::u16string_view text) {
  std::uint8_t* p = Grow(2 * text.size());
  for (char16_t c : text) {
    *p++ = static_cast<std::uint8_t>(c);
    *p++ = static_cast<std::uint8_t>(c >> 8);
  }
}

void TXLSBlobList::String8(std::u16string_view text) {
  text = text.substr(0, 255);
  U8(static_cast<std::uint8_t>(text.size()));
  U8(1);
  Utf16(text);
}

void TXLSBlobList::String16(std::u16string_view text) {
  text = text.substr(0, 0xFFFF);
  U16(static_cast<std::uint16_t>(text.size()));
  U8(1);
  Utf16(text);
}

void TXLSBlobList::ContinuedString16(std::u16string_view text) {
  text = text.substr(0, 0xFFFF);
  U16(static_cast<std::uint16_t>(text.size()));
  U8(1);
  while (true) {
    const std::size_t room = (kMaxRecordBody - std::min(BodySize(), kMaxRecordBody)) / 2;
    const std::size_t part = std::min(room, text.size());
    Utf16(text.substr(0, part));
    text.remove_prefix(part);
    if (text.empty()) return;
    Close();
    Begin(rec::kContinue);
    U8(1);  // the rest of the characters, again in UTF-16
  }
}

void TXLSBlobList::Record(std::uint16_t id, std::span<const std::uint8_t> body) {
  Begin(id);
  Bytes(body);
  End();
}

void TXLSBlobList::RecordU16(std::uint16_t id, std::uint16_t value) {
  Begin(id);
  U16(value);
  End();
}

void TXLSBlobList::Patch32(std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes_[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void WriteBof(TXLSBlobList& out, std::uint16_t substreamType) {
  out.Begin(rec::kBof);
  out.U16(0x0600);         // BIFF8
  out.U16(substreamType);
  out.U16(0x18AF);         // build
  out.U16(0x07CD);         // year
  out.U32(0x000080C9);     // file history
  out.U32(0x00000106);     // lowest version that saved it
  out.End();
}

}  // namespace xls
