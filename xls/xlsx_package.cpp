#include "xls/xlsx_package.h"

#include <zip.h>

#include <vector>

#include "xls/result_codes.h"

namespace xls {

bool LooksLikeZip(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' &&
         ((bytes[2] == 3 && bytes[3] == 4) || (bytes[2] == 5 && bytes[3] == 6));
}

XlsxPackage::~XlsxPackage() {
  if (archive_) zip_discard(archive_);
}

int XlsxPackage::Open(std::span<const std::uint8_t> bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) {
    zip_error_fini(&error);
    return kOpenCorrupt;
  }
  archive_ = zip_open_from_source(source, ZIP_RDONLY, &error);
  zip_error_fini(&error);
  if (!archive_) {
    zip_source_free(source);
    return kOpenCorrupt;
  }
  return kOpenOk;
}

std::int64_t XlsxPackage::Locate(std::string_view entry) const {
  if (!archive_) return -1;
  // Entry names compare without regard to case.
  return zip_name_locate(archive_, std::string(entry).c_str(), ZIP_FL_NOCASE | ZIP_FL_ENC_GUESS);
}

bool XlsxPackage::Has(std::string_view entry) const { return Locate(entry) >= 0; }

int XlsxPackage::ReadEntry(std::string_view entry, XlsxXmlHandler& handler) {
  const std::int64_t index = Locate(entry);
  if (index < 0) return kOpenEntryMissing;
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0) return kOpenCorrupt;
  if ((stat.valid & ZIP_STAT_SIZE) && (stat.size > kMaxEntryBytes || unpacked_ + stat.size > kMaxPackageBytes))
    return kOpenTooLarge;
  zip_file_t* file = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
  if (!file) return kOpenCorrupt;  // encrypted entries, unknown compression
  XlsxXmlStream xml(handler);
  constexpr std::size_t kPiece = 1 << 16;
  std::vector<char> buffer(kPiece);
  std::uint64_t entryBytes = 0;
  int result = kOpenOk;
  for (;;) {
    const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
    if (got < 0) {
      result = kOpenCorrupt;  // damaged deflate data or a checksum that does not match
      break;
    }
    entryBytes += static_cast<std::uint64_t>(got);
    unpacked_ += static_cast<std::uint64_t>(got);
    if (entryBytes > kMaxEntryBytes || unpacked_ > kMaxPackageBytes) {
      result = kOpenTooLarge;
      break;
    }
    if (!xml.Feed(buffer.data(), static_cast<std::size_t>(got), got == 0)) {
      result = xml.status() == XlsxXmlStream::Status::TooDeep ? kOpenTooDeep : kOpenCorrupt;
      break;
    }
    if (got == 0) break;
  }
  zip_fclose(file);
  return result;
}

std::string ResolveEntryName(std::string_view source, std::string_view target) {
  std::vector<std::string> pieces;
  auto push = [&pieces](std::string_view path) {
    while (!path.empty()) {
      const std::size_t slash = path.find('/');
      const std::string_view piece = path.substr(0, slash);
      if (piece == "..") {
        if (!pieces.empty()) pieces.pop_back();
      } else if (!piece.empty() && piece != ".") {
        pieces.emplace_back(piece);
      }
      if (slash == std::string_view::npos) break;
      path.remove_prefix(slash + 1);
    }
  };
  if (!target.starts_with('/')) {
    const std::size_t slash = source.rfind('/');
    if (slash != std::string_view::npos) push(source.substr(0, slash));
  }
  push(target);
  std::string name;
  for (const std::string& piece : pieces) {
    if (!name.empty()) name += '/';
    name += piece;
  }
  return name;
}

std::string RelationshipsEntryOf(std::string_view entry) {
  const std::size_t slash = entry.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? std::string_view() : entry.substr(0, slash + 1);
  const std::string_view file = slash == std::string_view::npos ? entry : entry.substr(slash + 1);
  return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

}  // namespace xls
