#pragma once
// Helpers of the compound file tests: test data, a temporary folder, and a
// raw view of a file's bytes that reads and alters header, tables and
// directory entries by their published offsets, without the reader.

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/read_file.h"
#include "platform/test_folder.h"

namespace xls::cfb::testing {

// Bytes that differ from sector to sector, so a misplaced sector shows.
inline std::vector<std::uint8_t> Pattern(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(state >> 16);
  }
  return bytes;
}

// The file's bytes; none when it cannot be read.
inline std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  return platform::ReadWholeFileBytes(path).value_or(std::vector<std::uint8_t>());
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

using TempFolder = platform::TestFolder;

constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

struct RawEntry {
  std::u16string name;
  std::uint8_t type = 0;
  std::uint8_t color = 0;
  std::uint32_t left = 0, right = 0, child = 0, start = 0;
  std::uint64_t size = 0;
};

// A compound file's bytes seen through its published layout. Meant for files
// that are sound where the view walks them (header, FAT, directory chain).
class RawFile {
 public:
  explicit RawFile(std::vector<std::uint8_t> bytes) : bytes(std::move(bytes)) {
    sectorSize = 1u << U16(0x1E);
  }

  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8); }
  std::uint32_t U32(std::size_t at) const {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
  }
  void SetU16(std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<std::uint8_t>(v);
    bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  void SetU32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }

  std::size_t SectorOffset(std::uint32_t sector) const { return (std::size_t{sector} + 1) * sectorSize; }
  std::uint32_t FatSectorCount() const { return U32(0x2C); }
  std::uint32_t DifatSectorCount() const { return U32(0x48); }
  std::uint32_t FirstDifatSector() const { return U32(0x44); }

  std::vector<std::uint32_t> FatSectors() const {
    std::vector<std::uint32_t> sectors;
    for (std::uint32_t i = 0; i < 109 && sectors.size() < FatSectorCount(); ++i) sectors.push_back(U32(0x4C + 4 * i));
    std::uint32_t difat = FirstDifatSector();
    const std::uint32_t per = sectorSize / 4 - 1;
    while (sectors.size() < FatSectorCount()) {
      for (std::uint32_t i = 0; i < per && sectors.size() < FatSectorCount(); ++i) {
        sectors.push_back(U32(SectorOffset(difat) + 4 * i));
      }
      difat = U32(SectorOffset(difat) + 4 * per);
    }
    return sectors;
  }
  std::size_t FatEntryOffset(std::uint32_t sector) const {
    const std::uint32_t per = sectorSize / 4;
    return SectorOffset(FatSectors()[sector / per]) + 4 * (sector % per);
  }
  std::uint32_t Fat(std::uint32_t sector) const { return U32(FatEntryOffset(sector)); }
  void SetFat(std::uint32_t sector, std::uint32_t value) { SetU32(FatEntryOffset(sector), value); }

  std::vector<std::uint32_t> Chain(std::uint32_t first) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t s = first; s != kEnd && chain.size() < 1000000; s = Fat(s)) chain.push_back(s);
    return chain;
  }
  std::size_t MiniFatEntryOffset(std::uint32_t miniSector) const {
    const std::uint32_t per = sectorSize / 4;
    return SectorOffset(Chain(U32(0x3C))[miniSector / per]) + 4 * (miniSector % per);
  }

  std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(Chain(U32(0x30)).size() * (sectorSize / 128)); }
  std::size_t EntryOffset(std::uint32_t id) const {
    const std::uint32_t per = sectorSize / 128;
    return SectorOffset(Chain(U32(0x30))[id / per]) + 128 * (id % per);
  }
  RawEntry Entry(std::uint32_t id) const {
    const std::size_t at = EntryOffset(id);
    RawEntry e;
    for (std::size_t i = 0; i + 1 < U16(at + 0x40) / 2u; ++i) e.name.push_back(static_cast<char16_t>(U16(at + 2 * i)));
    e.type = bytes[at + 0x42];
    e.color = bytes[at + 0x43];
    e.left = U32(at + 0x44);
    e.right = U32(at + 0x48);
    e.child = U32(at + 0x4C);
    e.start = U32(at + 0x74);
    e.size = U32(at + 0x78) | static_cast<std::uint64_t>(U32(at + 0x7C)) << 32;
    return e;
  }
  // Id of the entry with exactly this name, or kNone.
  std::uint32_t FindEntry(const std::u16string& name) const {
    for (std::uint32_t id = 0; id < EntryCount(); ++id) {
      if (Entry(id).type != 0 && Entry(id).name == name) return id;
    }
    return kNone;
  }
  void SetEntryU32(std::uint32_t id, std::size_t field, std::uint32_t value) { SetU32(EntryOffset(id) + field, value); }

  std::vector<std::uint8_t> bytes;
  std::uint32_t sectorSize = 512;
};

// Field offsets inside a directory entry, for SetEntryU32.
constexpr std::size_t kLeft = 0x44, kRight = 0x48, kChild = 0x4C, kStart = 0x74, kSize = 0x78, kSizeHigh = 0x7C;

// A version 4 file (4096-byte sectors) put together byte by byte:
//   sector 0 FAT, 1 directory, 2 mini FAT, 3 mini stream, 4-5 "Workbook";
//   root: "Workbook" (5000 bytes), "Small" (100 bytes, mini sectors 0-1),
//   storage "Sub" holding "Inner" (10 bytes, mini sector 2).
inline const std::vector<std::uint8_t> kV4Workbook = Pattern(5000, 41);
inline const std::vector<std::uint8_t> kV4Small = Pattern(100, 42);
inline const std::vector<std::uint8_t> kV4Inner = Pattern(10, 43);

inline std::vector<std::uint8_t> HandBuiltVersion4File() {
  constexpr std::size_t kSector = 4096;
  RawFile f(std::vector<std::uint8_t>(7 * kSector, 0));
  f.sectorSize = kSector;
  const std::uint8_t signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::copy(std::begin(signature), std::end(signature), f.bytes.begin());
  f.SetU16(0x18, 0x3E);
  f.SetU16(0x1A, 4);
  f.SetU16(0x1C, 0xFFFE);
  f.SetU16(0x1E, 12);
  f.SetU16(0x20, 6);
  f.SetU32(0x28, 1);  // directory sectors (version 4 counts them)
  f.SetU32(0x2C, 1);  // FAT sectors
  f.SetU32(0x30, 1);  // first directory sector
  f.SetU32(0x38, 4096);
  f.SetU32(0x3C, 2);  // first mini FAT sector
  f.SetU32(0x40, 1);
  f.SetU32(0x44, kEnd);
  f.SetU32(0x48, 0);
  for (int i = 0; i < 109; ++i) f.SetU32(0x4C + 4 * i, i == 0 ? 0 : kFree);

  const std::uint32_t fat[] = {0xFFFFFFFD, kEnd, kEnd, kEnd, 5, kEnd};
  for (std::uint32_t i = 0; i < kSector / 4; ++i) f.SetU32(f.SectorOffset(0) + 4 * i, i < 6 ? fat[i] : kFree);
  const std::uint32_t miniFat[] = {1, kEnd, kEnd};
  for (std::uint32_t i = 0; i < kSector / 4; ++i) f.SetU32(f.SectorOffset(2) + 4 * i, i < 3 ? miniFat[i] : kFree);
  std::copy(kV4Small.begin(), kV4Small.end(), f.bytes.begin() + static_cast<std::ptrdiff_t>(f.SectorOffset(3)));
  std::copy(kV4Inner.begin(), kV4Inner.end(), f.bytes.begin() + static_cast<std::ptrdiff_t>(f.SectorOffset(3) + 128));
  std::copy(kV4Workbook.begin(), kV4Workbook.end(), f.bytes.begin() + static_cast<std::ptrdiff_t>(f.SectorOffset(4)));

  struct Dir {
    std::u16string name;
    std::uint8_t type, color;
    std::uint32_t left, right, child, start;
    std::uint64_t size;
  };
  // Tree of the root: "Small" (black) with "Sub" left and "Workbook" right (both red).
  const Dir entries[] = {
      {u"Root Entry", 5, 1, kNone, kNone, 1, 3, 192},
      {u"Small", 2, 1, 3, 2, kNone, 0, kV4Small.size()},
      {u"Workbook", 2, 0, kNone, kNone, kNone, 4, kV4Workbook.size()},
      {u"Sub", 1, 0, kNone, kNone, 4, 0, 0},
      {u"Inner", 2, 1, kNone, kNone, kNone, 2, kV4Inner.size()},
  };
  for (std::uint32_t id = 0; id < kSector / 128; ++id) {
    const std::size_t at = f.SectorOffset(1) + 128 * id;
    if (id >= std::size(entries)) {
      f.SetU32(at + kLeft, kNone);
      f.SetU32(at + kRight, kNone);
      f.SetU32(at + kChild, kNone);
      continue;
    }
    const Dir& e = entries[id];
    for (std::size_t i = 0; i < e.name.size(); ++i) f.SetU16(at + 2 * i, e.name[i]);
    f.SetU16(at + 0x40, static_cast<std::uint16_t>(2 * (e.name.size() + 1)));
    f.bytes[at + 0x42] = e.type;
    f.bytes[at + 0x43] = e.color;
    f.SetU32(at + kLeft, e.left);
    f.SetU32(at + kRight, e.right);
    f.SetU32(at + kChild, e.child);
    f.SetU32(at + kStart, e.start);
    f.SetU32(at + kSize, static_cast<std::uint32_t>(e.size));
    f.SetU32(at + kSizeHigh, static_cast<std::uint32_t>(e.size >> 32));
  }
  return f.bytes;
}

}  // namespace xls::cfb::testing
