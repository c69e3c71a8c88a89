#pragma once
// The on-disk layout of compound files shared by the reader and the writer:
// header fields, reserved sector numbers, directory entry fields, and the rules
// for element names.
//
// Threads: constants and pure functions; safe from any thread.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace xls::cfb::format {

inline constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Header: 512 bytes at the start of the file (a version 4 file pads it to its
// first 4096-byte sector). Offsets of its fields:
inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kMinorVersionOffset = 0x18;
inline constexpr std::size_t kMajorVersionOffset = 0x1A;
inline constexpr std::size_t kByteOrderOffset = 0x1C;
inline constexpr std::size_t kSectorShiftOffset = 0x1E;
inline constexpr std::size_t kMiniSectorShiftOffset = 0x20;
inline constexpr std::size_t kDirectorySectorCountOffset = 0x28;
inline constexpr std::size_t kFatSectorCountOffset = 0x2C;
inline constexpr std::size_t kFirstDirectorySectorOffset = 0x30;
inline constexpr std::size_t kMiniStreamCutoffOffset = 0x38;
inline constexpr std::size_t kFirstMiniFatSectorOffset = 0x3C;
inline constexpr std::size_t kMiniFatSectorCountOffset = 0x40;
inline constexpr std::size_t kFirstDifatSectorOffset = 0x44;
inline constexpr std::size_t kDifatSectorCountOffset = 0x48;
inline constexpr std::size_t kHeaderDifatOffset = 0x4C;
inline constexpr std::uint32_t kHeaderDifatEntries = 109;

inline constexpr std::uint16_t kByteOrderMark = 0xFFFE;
inline constexpr std::uint16_t kMinorVersion = 0x003E;
inline constexpr std::uint32_t kMiniSectorSize = 64;
inline constexpr std::uint64_t kMiniStreamCutoff = 4096;  // smaller streams live in the mini stream

// Reserved values of allocation table entries and sector references.
inline constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
inline constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
inline constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;  // no sibling / no child

// Directory entries: 128 bytes each.
inline constexpr std::size_t kDirectoryEntrySize = 128;
inline constexpr std::size_t kNameOffset = 0x00;  // UTF-16LE, NUL-terminated, 64 bytes
inline constexpr std::size_t kNameLengthOffset = 0x40;  // bytes, including the NUL
inline constexpr std::size_t kTypeOffset = 0x42;
inline constexpr std::size_t kColorOffset = 0x43;
inline constexpr std::size_t kLeftOffset = 0x44;
inline constexpr std::size_t kRightOffset = 0x48;
inline constexpr std::size_t kChildOffset = 0x4C;
inline constexpr std::size_t kStartSectorOffset = 0x74;
inline constexpr std::size_t kStreamSizeOffset = 0x78;

inline constexpr std::uint8_t kTypeUnused = 0;
inline constexpr std::uint8_t kTypeStorage = 1;
inline constexpr std::uint8_t kTypeStream = 2;
inline constexpr std::uint8_t kTypeRoot = 5;
inline constexpr std::uint8_t kRed = 0;
inline constexpr std::uint8_t kBlack = 1;

inline constexpr std::size_t kMaxNameLength = 31;  // UTF-16 units, without the NUL
inline constexpr char16_t kRootName[] = u"Root Entry";

// The upper-case form that names are compared in: ASCII, Latin-1, Latin
// Extended-A (the Polish letters among them), Greek, Cyrillic and full-width
// Latin letters; every other unit stands for itself.
char16_t UpperCase(char16_t c);

// The order of a storage's children: shorter names first, names of equal
// length unit by unit in upper case. Negative, zero or positive.
int CompareNames(std::u16string_view a, std::u16string_view b);

// Equal without regard to case.
inline bool SameName(std::u16string_view a, std::u16string_view b) { return CompareNames(a, b) == 0; }

// 1 to 31 units, none of them NUL, '/', '\', ':' or '!'.
bool IsValidName(std::u16string_view name);

// Little-endian access to byte buffers.
inline std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t ReadU64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(ReadU32(p)) | (static_cast<std::uint64_t>(ReadU32(p + 4)) << 32);
}
inline void WriteU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void WriteU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void WriteU64(std::uint8_t* p, std::uint64_t v) {
  WriteU32(p, static_cast<std::uint32_t>(v));
  WriteU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

}  // namespace xls::cfb::format
