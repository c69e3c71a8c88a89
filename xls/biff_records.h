#pragma once
// Building BIFF8 records (`TXLSBlobList`): records are appended one after the
// other into one contiguous buffer, each a little-endian id, body length and
// body. A body longer than 8,224 bytes is cut there and continued in
// CONTINUE records; the shared string table splits itself by its own rule
// (biff_sst.cpp) and uses Close() to keep its bodies whole.
//
// Threads: one workbook read or save, on the caller's thread; no shared state.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "xls/biff_record_ids.h"

namespace xls {

inline constexpr std::size_t kMaxRecordBody = 8224;
inline constexpr std::size_t kRecordHeaderSize = 4;

class TXLSBlobList {
 public:
  // Starts a record; the body follows through the Put functions.
  void Begin(std::uint16_t id);
  // Ends the record begun last, continuing an over-long body in CONTINUE records.
  void End();
  // Ends the record begun last as it is (its body must fit the limit).
  void Close();

  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value) {
    std::uint8_t* p = Grow(2);
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
  }
  void U32(std::uint32_t value) {
    std::uint8_t* p = Grow(4);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  void F64(double value);
  void Bytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void Utf16(std::u16string_view text);
  // A BIFF8 string: character count (8 or 16 bits), option byte 1, UTF-16.
  void String8(std::u16string_view text);
  void String16(std::u16string_view text);
  // A BIFF8 string with a 16-bit count that may fill the open record and go
  // on in CONTINUE records: characters are never split, and each
  // continuation starts with its own option byte. The last record is left
  // open for Close().
  void ContinuedString16(std::u16string_view text);

  // A whole record with a body given at once.
  void Record(std::uint16_t id, std::span<const std::uint8_t> body);
  void Record(std::uint16_t id) { Record(id, {}); }
  void RecordU16(std::uint16_t id, std::uint16_t value);

  std::size_t Size() const { return bytes_.size(); }
  // Bytes of the body written so far in the open record.
  std::size_t BodySize() const { return bytes_.size() - recordStart_ - kRecordHeaderSize; }
  std::size_t RecordStart() const { return recordStart_; }
  const std::vector<std::uint8_t>& Data() const { return bytes_; }
  std::vector<std::uint8_t>& Data() { return bytes_; }
  void Patch32(std::size_t offset, std::uint32_t value);
  void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }

 private:
  // Room for n more bytes at the end; returns where they go.
  std::uint8_t* Grow(std::size_t n) {
    const std::size_t old = bytes_.size();
    bytes_.resize(old + n);
    return bytes_.data() + old;
  }

  std::vector<std::uint8_t> bytes_;
  std::size_t recordStart_ = 0;
};

// The BOF record that opens a BIFF8 substream of the given type.
void WriteBof(TXLSBlobList& out, std::uint16_t substreamType);

}  // namespace xls
