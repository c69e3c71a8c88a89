#pragma once
// Bounds-checked access to one record body (or any byte block) read from a
// file. Every getter returns 0 for bytes outside the body, so a handler that
// reads an optional field of a short record never reads past it; handlers
// check Has() before fields they cannot do without.
//
// Threads: one workbook read or save, on the caller's thread; no shared state.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace xls {

class TXLSBody {
 public:
  TXLSBody() = default;
  explicit TXLSBody(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Size() const { return bytes_.size(); }
  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  std::span<const std::uint8_t> Bytes() const { return bytes_; }
  // The bytes from offset on, at most count of them (empty past the end).
  std::span<const std::uint8_t> Slice(std::size_t offset, std::size_t count = SIZE_MAX) const {
    if (offset >= bytes_.size()) return {};
    const std::size_t available = bytes_.size() - offset;
    return bytes_.subspan(offset, count < available ? count : available);
  }

  std::uint8_t U8(std::size_t offset) const { return offset < bytes_.size() ? bytes_[offset] : 0; }
  std::uint16_t U16(std::size_t offset) const {
    return static_cast<std::uint16_t>(U8(offset) | (U8(offset + 1) << 8));
  }
  std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
  std::uint32_t U32(std::size_t offset) const {
    return U16(offset) | (static_cast<std::uint32_t>(U16(offset + 2)) << 16);
  }
  double F64(std::size_t offset) const {
    const std::uint64_t bits = U32(offset) | (static_cast<std::uint64_t>(U32(offset + 4)) << 32);
    return std::bit_cast<double>(bits);
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace xls
