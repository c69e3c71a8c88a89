#pragma once
// The zip container of an .xlsx workbook (`XlsxPackage`), read with libzip
// from a file image in memory. Entries are streamed through an XML handler
// piece by piece. Limits guard against hostile packages: an entry may unpack
// to at most kMaxEntryBytes and the whole read to kMaxPackageBytes, whatever
// the zip directory declares (a declared size past the limit is refused
// before anything is unpacked, and the bytes actually unpacked are counted).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "xls/xlsx_xml.h"

struct zip;

namespace xls {

inline constexpr std::uint64_t kMaxEntryBytes = 256ull << 20;
inline constexpr std::uint64_t kMaxPackageBytes = 1ull << 30;

// Starts a zip file ("PK\3\4", or "PK\5\6" for an empty one).
bool LooksLikeZip(std::span<const std::uint8_t> bytes);

class XlsxPackage {
 public:
  XlsxPackage() = default;
  ~XlsxPackage();
  XlsxPackage(const XlsxPackage&) = delete;
  XlsxPackage& operator=(const XlsxPackage&) = delete;

  // kOpenOk, or kOpenCorrupt when the bytes are no readable zip file. The
  // bytes must outlive the package.
  int Open(std::span<const std::uint8_t> bytes);
  bool Has(std::string_view entry) const;
  // Streams an entry (a name without a leading "/") through the handler.
  // kOpenOk; kOpenEntryMissing, kOpenTooLarge, kOpenCorrupt (damaged zip data
  // or malformed XML), kOpenTooDeep.
  int ReadEntry(std::string_view entry, XlsxXmlHandler& handler);

 private:
  std::int64_t Locate(std::string_view entry) const;

  zip* archive_ = nullptr;
  std::uint64_t unpacked_ = 0;
};

// Where the target of a relationship of entry `source` lives: targets are
// relative to the source's folder ("worksheets/sheet1.xml" from
// "xl/workbook.xml" is "xl/worksheets/sheet1.xml"), "/" starts from the
// package root, ".." climbs.
std::string ResolveEntryName(std::string_view source, std::string_view target);
// The relationships entry of an entry: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string RelationshipsEntryOf(std::string_view entry);

}  // namespace xls
