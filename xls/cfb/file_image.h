#pragma once
// The bytes of a whole version 3 compound file, produced in one pass from a
// tree of elements: the layout is computed first, then header and sectors are
// handed to a sink in file order, so a file is never held twice in memory.
//
// Sector order: large streams (4,096 bytes and more), each contiguous; the
// mini stream holding the small ones; the mini allocation table; the
// directory; the allocation table (FAT); the DIFAT sectors it needs beyond the
// 109 entries of the header.
//
// Threads: one image is written on the caller's thread; no shared state.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace xls::cfb::image {

// One element of the tree; element 0 is the root storage, whose name is not
// written (the root is always "Root Entry").
struct ImageElement {
  std::u16string_view name;
  bool isStorage = false;
  std::span<const std::uint8_t> data;   // streams only
  std::vector<std::uint32_t> children;  // indexes of elements, storages only
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not be taken; the image stops there.
  virtual bool Write(const std::uint8_t* bytes, std::size_t count) = 0;
};

class VectorSink final : public ByteSink {
 public:
  explicit VectorSink(std::vector<std::uint8_t>& out) : out_(out) {}
  bool Write(const std::uint8_t* bytes, std::size_t count) override {
    out_.insert(out_.end(), bytes, bytes + count);
    return true;
  }

 private:
  std::vector<std::uint8_t>& out_;
};

// Buffered writes to a file being written (not owned); Flush at the end.
class FileSink final : public ByteSink {
 public:
  explicit FileSink(platform::AtomicFile& file) : file_(file) {}
  bool Write(const std::uint8_t* bytes, std::size_t count) override;
  bool Flush();

 private:
  bool WriteAll(const std::uint8_t* bytes, std::size_t count);

  platform::AtomicFile& file_;
  std::vector<std::uint8_t> buffer_;
};

// kOk, kTooLarge (more sectors than the format addresses), or kCannotCreate
// when the sink refused bytes. Names must be valid and unique per storage,
// which the writer makes sure of.
int WriteImage(std::span<const ImageElement> elements, ByteSink& sink);

}  // namespace xls::cfb::image
