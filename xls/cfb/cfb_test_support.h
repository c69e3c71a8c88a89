#pragma once
// Helpers of the compound file tests: test data, a temporary folder, and a
// raw view of a file's bytes that reads and alters header, tables and
// directory entries by their published offsets, without the reader.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

inline std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvane-cfb-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Every file in the folder, by name.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
    return names;
  }

 private:
  std::filesystem::path path_;
};

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

}  // namespace xls::cfb::testing
