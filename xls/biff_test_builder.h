#pragma once
// Building BIFF record streams in tests: record bodies field by field, and
// whole plain BIFF workbooks (a stream without a compound file, which Open
// takes as it is).

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xls::testing {

// Records as (id, body) pairs, in stream order.
using Records = std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>>;

class Body {
 public:
  Body& U8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  Body& U16(std::uint16_t v) { return U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8)); }
  Body& U32(std::uint32_t v) { return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16)); }
  Body& F64(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    return U32(static_cast<std::uint32_t>(bits)).U32(static_cast<std::uint32_t>(bits >> 32));
  }
  Body& Bytes(const std::vector<std::uint8_t>& data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  Body& Utf16(std::u16string_view text) {
    for (char16_t c : text) U16(static_cast<std::uint16_t>(c));
    return *this;
  }
  Body& Latin1(std::u16string_view text) {
    for (char16_t c : text) U8(static_cast<std::uint8_t>(c));
    return *this;
  }
  // BIFF8 strings: count (8 or 16 bits), option byte, UTF-16 characters.
  Body& String8(std::u16string_view text) { return U8(static_cast<std::uint8_t>(text.size())).U8(1).Utf16(text); }
  Body& String16(std::u16string_view text) { return U16(static_cast<std::uint16_t>(text.size())).U8(1).Utf16(text); }
  Body& Zeros(std::size_t count) {
    bytes_.insert(bytes_.end(), count, 0);
    return *this;
  }
  const std::vector<std::uint8_t>& Data() const { return bytes_; }
  operator const std::vector<std::uint8_t>&() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

class Stream {
 public:
  explicit Stream(bool biff8 = true) : biff8_(biff8) {}

  Stream& Record(std::uint16_t id, const std::vector<std::uint8_t>& body) {
    Body header;
    header.U16(id).U16(static_cast<std::uint16_t>(body.size()));
    bytes_.insert(bytes_.end(), header.Data().begin(), header.Data().end());
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    return *this;
  }
  Stream& Bof(std::uint16_t type, std::uint16_t version = 0) {
    if (version == 0) version = biff8_ ? 0x0600 : 0x0500;
    Body body;
    body.U16(version).U16(type).U16(0x18AF).U16(0x07CD);
    if (biff8_) body.U32(0).U32(0x0106);
    return Record(0x0809, body);
  }
  Stream& Eof() { return Record(0x000A, {}); }
  Stream& Globals() { return Bof(0x0005); }
  Stream& Worksheet() { return Bof(0x0010); }
  // BOUNDSHEET: type 0 worksheet, 1 macro sheet, 2 chart.
  Stream& BoundSheet(std::u16string_view name, std::uint8_t type = 0, std::uint8_t visibility = 0) {
    Body body;
    body.U32(0).U8(visibility).U8(type);
    if (biff8_) {
      body.String8(name);
    } else {
      body.U8(static_cast<std::uint8_t>(name.size())).Latin1(name);
    }
    return Record(0x0085, body);
  }
  // A cell record body starts with row, column, XF.
  static Body Cell(int row, int column, int xf = 15) {
    Body body;
    body.U16(static_cast<std::uint16_t>(row)).U16(static_cast<std::uint16_t>(column)).U16(static_cast<std::uint16_t>(xf));
    return body;
  }
  // A workbook of one worksheet holding `records`.
  static std::vector<std::uint8_t> OneSheet(const std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>>& records,
                                            const std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>>& globals = {}) {
    Stream s;
    s.Globals();
    for (const auto& [id, body] : globals) s.Record(id, body);
    s.BoundSheet(u"Arkusz").Eof().Worksheet();
    for (const auto& [id, body] : records) s.Record(id, body);
    s.Eof();
    return s.Data();
  }
  const std::vector<std::uint8_t>& Data() const { return bytes_; }

 private:
  bool biff8_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace xls::testing
