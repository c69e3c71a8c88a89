#include "xls/cfb/compound_file_reader.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>

#include "platform/read_file.h"
#include "xls/cfb/format.h"
#include "xls/cfb/result_codes.h"
#include "xls/cfb/whole_or_nothing.h"

namespace xls::cfb {

using namespace format;

namespace {

// FollowChain's `needed` for chains whose length only their end tells
// (directory, mini allocation table).
constexpr std::uint64_t kUntilEndOfChain = std::numeric_limits<std::uint64_t>::max();

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return a / b + (a % b != 0 ? 1 : 0); }

// Follows `first` through `table` for at most `needed` links. kCorrupt when
// the chain leaves [0, limit), loops, or ends before `needed` links.
int FollowChain(const std::vector<std::uint32_t>& table, std::uint32_t first, std::uint64_t needed, std::uint32_t limit,
                std::vector<std::uint32_t>& chain) {
  chain.clear();
  std::vector<bool> visited(limit, false);
  std::uint32_t link = first;
  while (chain.size() < needed) {
    if (needed == kUntilEndOfChain && link == kEndOfChain) break;
    if (link >= limit || link >= table.size() || visited[link]) return kCorrupt;
    visited[link] = true;
    chain.push_back(link);
    link = table[link];
  }
  return kOk;
}

// Units of equal size in one block of memory: sectors, or mini sectors.
struct Units {
  const std::uint8_t* first;
  std::uint32_t size;
  std::uint32_t count;
};

// The first `size` bytes of the units that the chain from `first` names.
int GatherChain(const std::vector<std::uint32_t>& table, std::uint32_t first, std::uint64_t size, Units units,
                std::vector<std::uint8_t>& out) {
  out.clear();
  // A size beyond all units is a lie; checking it first keeps it from being allocated.
  if (size > static_cast<std::uint64_t>(units.count) * units.size) return kCorrupt;
  std::vector<std::uint32_t> chain;
  if (FollowChain(table, first, CeilDiv(size, units.size), units.count, chain) != kOk) return kCorrupt;
  out.resize(static_cast<std::size_t>(size));
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const std::size_t offset = i * units.size;
    const std::size_t length = std::min<std::size_t>(units.size, out.size() - offset);
    std::copy_n(units.first + std::size_t{chain[i]} * units.size, length,
                out.begin() + static_cast<std::ptrdiff_t>(offset));
  }
  return kOk;
}

}  // namespace

int CompoundFileReader::OpenFile(const std::filesystem::path& path) {
  Close();
  std::optional<std::vector<std::uint8_t>> bytes = platform::ReadWholeFileBytes(path);
  if (!bytes) return kCannotRead;
  return OpenBytes(std::move(*bytes));
}

int CompoundFileReader::OpenBytes(std::span<const std::uint8_t> bytes) {
  return OpenBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

int CompoundFileReader::OpenBytes(std::vector<std::uint8_t>&& bytes) {
  Close();
  bytes_ = std::move(bytes);
  const int result = Parse();
  if (result != kOk) {
    Close();
    return result;
  }
  open_ = true;
  return kOk;
}

void CompoundFileReader::Close() { *this = CompoundFileReader(); }

int CompoundFileReader::Parse() {
  int result = ReadHeader();
  if (result == kOk) result = ReadAllocationTable();
  if (result == kOk) result = ReadDirectory();
  if (result == kOk) result = LinkDirectoryTree();
  if (result != kOk) return result;
  // A broken mini stream spoils only the small streams; the others stay readable.
  ReadMiniStream();
  return kOk;
}

int CompoundFileReader::ReadHeader() {
  if (bytes_.size() < kHeaderSize || !std::equal(std::begin(kSignature), std::end(kSignature), bytes_.begin())) {
    return kNotCompoundFile;
  }
  const std::uint8_t* header = bytes_.data();
  majorVersion_ = ReadU16(header + kMajorVersionOffset);
  const std::uint16_t sectorShift = ReadU16(header + kSectorShiftOffset);
  if (ReadU16(header + kByteOrderOffset) != kByteOrderMark || ReadU16(header + kMiniSectorShiftOffset) != 6) {
    return kNotCompoundFile;
  }
  if (!((majorVersion_ == 3 && sectorShift == 9) || (majorVersion_ == 4 && sectorShift == 12))) {
    return kNotCompoundFile;
  }
  sectorSize_ = 1u << sectorShift;
  firstDirectorySector_ = ReadU32(header + kFirstDirectorySectorOffset);
  fatSectorCount_ = ReadU32(header + kFatSectorCountOffset);
  firstMiniFatSector_ = ReadU32(header + kFirstMiniFatSectorOffset);
  firstDifatSector_ = ReadU32(header + kFirstDifatSectorOffset);

  // The header fills sector -1. Writers may leave the last sector short; the
  // missing tail reads as zeros. (The padding moves the bytes: `header` is
  // not used after it.)
  const std::uint64_t afterHeader = bytes_.size() > sectorSize_ ? bytes_.size() - sectorSize_ : 0;
  const std::uint64_t sectors = CeilDiv(afterHeader, sectorSize_);
  if (sectors > kMaxRegularSector) return kCorrupt;
  sectorCount_ = static_cast<std::uint32_t>(sectors);
  bytes_.resize((sectors + 1) * sectorSize_, 0);
  return kOk;
}

const std::uint8_t* CompoundFileReader::Sector(std::uint32_t index) const {
  return bytes_.data() + (static_cast<std::size_t>(index) + 1) * sectorSize_;
}

int CompoundFileReader::ReadAllocationTable() {
  // Every FAT sector is a sector of the file, so a larger count is a lie.
  if (fatSectorCount_ > sectorCount_) return kCorrupt;
  std::vector<std::uint32_t> fatSectors;
  fatSectors.reserve(fatSectorCount_);
  const std::uint8_t* headerDifat = bytes_.data() + kHeaderDifatOffset;
  for (std::uint32_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatSectorCount_; ++i) {
    fatSectors.push_back(ReadU32(headerDifat + 4 * i));
  }

  // The rest are listed in the DIFAT chain: each of its sectors holds FAT
  // sector numbers and, in its last entry, the next DIFAT sector.
  const std::uint32_t perDifatSector = sectorSize_ / 4 - 1;
  std::vector<bool> visited(sectorCount_, false);
  std::uint32_t difat = firstDifatSector_;
  while (fatSectors.size() < fatSectorCount_) {
    if (difat >= sectorCount_ || visited[difat]) return kCorrupt;
    visited[difat] = true;
    const std::uint8_t* entries = Sector(difat);
    for (std::uint32_t i = 0; i < perDifatSector && fatSectors.size() < fatSectorCount_; ++i) {
      fatSectors.push_back(ReadU32(entries + 4 * i));
    }
    difat = ReadU32(entries + 4 * perDifatSector);
  }

  const std::uint32_t perFatSector = sectorSize_ / 4;
  fat_.reserve(static_cast<std::size_t>(fatSectorCount_) * perFatSector);
  for (std::uint32_t sector : fatSectors) {
    if (sector >= sectorCount_) return kCorrupt;
    const std::uint8_t* entries = Sector(sector);
    for (std::uint32_t i = 0; i < perFatSector; ++i) fat_.push_back(ReadU32(entries + 4 * i));
  }
  return kOk;
}

int CompoundFileReader::ReadDirectory() {
  std::vector<std::uint32_t> chain;
  if (FollowChain(fat_, firstDirectorySector_, kUntilEndOfChain, sectorCount_, chain) != kOk || chain.empty()) {
    return kCorrupt;
  }
  const std::size_t perSector = sectorSize_ / kDirectoryEntrySize;
  entries_.reserve(chain.size() * perSector);
  for (std::uint32_t sector : chain) {
    for (std::size_t i = 0; i < perSector; ++i) {
      const std::uint8_t* raw = Sector(sector) + i * kDirectoryEntrySize;
      Entry entry;
      const std::size_t units = std::min<std::size_t>(ReadU16(raw + kNameLengthOffset) / 2, kMaxNameLength + 1);
      for (std::size_t u = 0; u < units; ++u) {
        const char16_t c = static_cast<char16_t>(ReadU16(raw + kNameOffset + 2 * u));
        if (c == 0) break;
        entry.name.push_back(c);
      }
      entry.type = raw[kTypeOffset];
      entry.left = ReadU32(raw + kLeftOffset);
      entry.right = ReadU32(raw + kRightOffset);
      entry.child = ReadU32(raw + kChildOffset);
      entry.startSector = ReadU32(raw + kStartSectorOffset);
      // Version 3 sizes are 32 bits; some writers leave garbage in the upper half.
      entry.size = majorVersion_ == 3 ? ReadU32(raw + kStreamSizeOffset) : ReadU64(raw + kStreamSizeOffset);
      entries_.push_back(std::move(entry));
    }
  }
  return entries_[0].type == kTypeRoot ? kOk : kCorrupt;
}

int CompoundFileReader::LinkDirectoryTree() {
  // Breadth first from the root; every entry may be reached once only, which
  // turns loops and entries pointing at themselves into kCorrupt.
  std::vector<bool> reached(entries_.size(), false);
  reached[0] = true;
  entries_[0].reachable = true;
  std::vector<std::pair<EntryId, int>> storages{{0, 0}};
  for (std::size_t next = 0; next < storages.size(); ++next) {
    const auto [storage, depth] = storages[next];
    std::vector<EntryId> children;
    const int result = CollectChildren(storage, children, reached);
    if (result != kOk) return result;
    for (EntryId child : children) {
      entries_[child].reachable = true;
      if (entries_[child].type != kTypeStorage) continue;
      if (depth + 1 > kMaxStorageDepth) return kCorrupt;
      storages.emplace_back(child, depth + 1);
    }
    entries_[storage].children = std::move(children);
  }
  return kOk;
}

int CompoundFileReader::CollectChildren(EntryId storage, std::vector<EntryId>& out, std::vector<bool>& reached) const {
  // In-order walk of the storage's tree of children, without recursion.
  std::vector<std::uint32_t> pending;
  std::uint32_t node = entries_[storage].child;
  while (node != kNoStream || !pending.empty()) {
    while (node != kNoStream) {
      if (node >= entries_.size() || reached[node]) return kCorrupt;
      const std::uint8_t type = entries_[node].type;
      if (type != kTypeStorage && type != kTypeStream) return kCorrupt;
      reached[node] = true;
      pending.push_back(node);
      node = entries_[node].left;
    }
    node = pending.back();
    pending.pop_back();
    out.push_back(node);
    node = entries_[node].right;
  }
  return kOk;
}

void CompoundFileReader::ReadMiniStream() {
  std::vector<std::uint32_t> chain;
  if (FollowChain(fat_, firstMiniFatSector_, kUntilEndOfChain, sectorCount_, chain) != kOk) {
    miniStreamResult_ = kCorrupt;
    return;
  }
  const std::uint32_t perSector = sectorSize_ / 4;
  miniFat_.reserve(chain.size() * perSector);
  for (std::uint32_t sector : chain) {
    for (std::uint32_t i = 0; i < perSector; ++i) miniFat_.push_back(ReadU32(Sector(sector) + 4 * i));
  }
  miniStreamResult_ = ReadSectorChain(entries_[0].startSector, entries_[0].size, miniStream_);
}

int CompoundFileReader::ReadSectorChain(std::uint32_t first, std::uint64_t size, std::vector<std::uint8_t>& out) const {
  return GatherChain(fat_, first, size, {bytes_.data() + sectorSize_, sectorSize_, sectorCount_}, out);
}

int CompoundFileReader::ReadMiniChain(std::uint32_t first, std::uint64_t size, std::vector<std::uint8_t>& out) const {
  out.clear();
  if (miniStreamResult_ != kOk) return miniStreamResult_;
  const auto miniSectors = static_cast<std::uint32_t>(miniStream_.size() / kMiniSectorSize);
  return GatherChain(miniFat_, first, size, {miniStream_.data(), kMiniSectorSize, miniSectors}, out);
}

bool CompoundFileReader::IsStorage(EntryId id) const {
  return open_ && id < entries_.size() && entries_[id].reachable &&
         (entries_[id].type == kTypeStorage || entries_[id].type == kTypeRoot);
}

EntryInfo CompoundFileReader::Info(EntryId id) const {
  const Entry& entry = entries_[id];
  EntryInfo info;
  info.id = id;
  info.name = entry.name;
  info.type = entry.type == kTypeStream ? EntryType::Stream : EntryType::Storage;
  info.size = entry.type == kTypeStream ? entry.size : 0;
  return info;
}

int CompoundFileReader::Stat(EntryId id, EntryInfo& out) const {
  if (!open_ || id >= entries_.size() || !entries_[id].reachable) return kInvalidHandle;
  out = Info(id);
  return kOk;
}

int CompoundFileReader::Children(EntryId storage, std::vector<EntryInfo>& out) const {
  out.clear();
  if (!IsStorage(storage)) return kInvalidHandle;
  for (EntryId child : entries_[storage].children) out.push_back(Info(child));
  return kOk;
}

int CompoundFileReader::Find(EntryId storage, std::u16string_view name, EntryInfo& out) const {
  if (!IsStorage(storage)) return kInvalidHandle;
  for (EntryId child : entries_[storage].children) {
    if (SameName(entries_[child].name, name)) {
      out = Info(child);
      return kOk;
    }
  }
  return kNotFound;
}

int CompoundFileReader::ReadStream(EntryId stream, std::vector<std::uint8_t>& out) const {
  out.clear();
  if (!open_ || stream >= entries_.size() || !entries_[stream].reachable || entries_[stream].type != kTypeStream) {
    return kInvalidHandle;
  }
  const Entry& entry = entries_[stream];
  return FillWholeOrNothing(out, [&] {
    return entry.size < kMiniStreamCutoff ? ReadMiniChain(entry.startSector, entry.size, out)
                                          : ReadSectorChain(entry.startSector, entry.size, out);
  });
}

}  // namespace xls::cfb
