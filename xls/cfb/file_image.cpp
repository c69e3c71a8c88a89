#include "xls/cfb/file_image.h"

#include <algorithm>
#include <cstring>

#include "xls/cfb/format.h"
#include "xls/cfb/result_codes.h"

namespace xls::cfb::image {

using namespace format;

namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kSectorShift = 9;
constexpr std::uint32_t kLinksPerSector = kSectorSize / 4;          // FAT and mini FAT entries
constexpr std::uint32_t kFatNumbersPerDifatSector = kLinksPerSector - 1;  // the last links the next one
constexpr std::uint32_t kEntriesPerDirectorySector = kSectorSize / kDirectoryEntrySize;

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return a / b + (a % b != 0 ? 1 : 0); }

// Where an element's bytes are: a first sector (regular or mini) and a size.
struct Placement {
  std::uint32_t start = kEndOfChain;
  std::uint64_t size = 0;
};

// The position of an element in its storage's tree of children.
struct TreeLinks {
  std::uint32_t left = kNoStream;
  std::uint32_t right = kNoStream;
  std::uint32_t child = kNoStream;  // storages: root of their children's tree
  std::uint8_t color = kBlack;
  int depth = 0;
};

struct Layout {
  std::vector<Placement> placement;  // per element
  std::vector<std::uint32_t> miniFat;
  std::uint64_t miniStreamSize = 0;
  std::uint32_t miniStreamStart = kEndOfChain, miniStreamSectors = 0;
  std::uint32_t miniFatStart = kEndOfChain, miniFatSectors = 0;
  std::uint32_t directoryStart = 0, directorySectors = 0;
  std::uint32_t fatStart = 0, fatSectors = 0;
  std::uint32_t difatStart = kEndOfChain, difatSectors = 0;
  std::uint64_t totalSectors = 0;
};

bool IsLarge(const ImageElement& e) { return !e.isStorage && e.data.size() >= kMiniStreamCutoff; }
bool IsSmall(const ImageElement& e) { return !e.isStorage && !e.data.empty() && e.data.size() < kMiniStreamCutoff; }

int ComputeLayout(std::span<const ImageElement> elements, Layout& layout) {
  layout.placement.assign(elements.size(), Placement{});
  std::uint64_t next = 0;  // next free regular sector
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (!IsLarge(elements[i])) continue;
    layout.placement[i] = {static_cast<std::uint32_t>(next), elements[i].data.size()};
    next += CeilDiv(elements[i].data.size(), kSectorSize);
    if (next > kMaxRegularSector) return kTooLarge;
  }
  std::uint64_t nextMini = 0;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (!IsSmall(elements[i])) continue;
    const std::uint64_t count = CeilDiv(elements[i].data.size(), kMiniSectorSize);
    layout.placement[i] = {static_cast<std::uint32_t>(nextMini), elements[i].data.size()};
    for (std::uint64_t k = 1; k <= count; ++k) {
      layout.miniFat.push_back(k < count ? static_cast<std::uint32_t>(nextMini + k) : kEndOfChain);
    }
    nextMini += count;
  }
  auto take = [&next](std::uint64_t count, std::uint32_t& start, std::uint32_t& sectors) {
    sectors = static_cast<std::uint32_t>(count);
    if (count > 0) start = static_cast<std::uint32_t>(next);
    next += count;
  };
  layout.miniStreamSize = nextMini * kMiniSectorSize;
  take(CeilDiv(layout.miniStreamSize, kSectorSize), layout.miniStreamStart, layout.miniStreamSectors);
  take(CeilDiv(layout.miniFat.size(), kLinksPerSector), layout.miniFatStart, layout.miniFatSectors);
  take(CeilDiv(elements.size(), kEntriesPerDirectorySector), layout.directoryStart, layout.directorySectors);

  // The FAT covers every sector, its own and the DIFAT's among them.
  std::uint64_t fat = CeilDiv(next, kLinksPerSector);
  std::uint64_t difat = 0;
  for (;;) {
    difat = fat > kHeaderDifatEntries ? CeilDiv(fat - kHeaderDifatEntries, kFatNumbersPerDifatSector) : 0;
    const std::uint64_t needed = CeilDiv(next + fat + difat, kLinksPerSector);
    if (needed <= fat) break;
    fat = needed;
  }
  if (next + fat + difat > kMaxRegularSector) return kTooLarge;
  take(fat, layout.fatStart, layout.fatSectors);
  take(difat, layout.difatStart, layout.difatSectors);
  layout.totalSectors = next;
  return kOk;
}

std::vector<std::uint32_t> BuildFat(const Layout& layout, std::span<const ImageElement> elements) {
  std::vector<std::uint32_t> fat(static_cast<std::size_t>(layout.fatSectors) * kLinksPerSector, kFreeSector);
  auto chain = [&fat](std::uint32_t start, std::uint64_t count) {
    for (std::uint64_t k = 0; k < count; ++k) {
      fat[start + k] = k + 1 < count ? static_cast<std::uint32_t>(start + k + 1) : kEndOfChain;
    }
  };
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (IsLarge(elements[i])) chain(layout.placement[i].start, CeilDiv(elements[i].data.size(), kSectorSize));
  }
  chain(layout.miniStreamStart, layout.miniStreamSectors);
  chain(layout.miniFatStart, layout.miniFatSectors);
  chain(layout.directoryStart, layout.directorySectors);
  for (std::uint32_t k = 0; k < layout.fatSectors; ++k) fat[layout.fatStart + k] = kFatSector;
  for (std::uint32_t k = 0; k < layout.difatSectors; ++k) fat[layout.difatStart + k] = kDifatSector;
  return fat;
}

// Builds a balanced tree over `sorted`: the middle element is the root of
// each part, so every level but the last is full. Returns the root.
std::uint32_t BuildBalancedTree(std::span<const std::uint32_t> sorted, int depth, std::vector<TreeLinks>& links) {
  if (sorted.empty()) return kNoStream;
  const std::size_t middle = sorted.size() / 2;
  const std::uint32_t node = sorted[middle];
  links[node].depth = depth;
  links[node].left = BuildBalancedTree(sorted.first(middle), depth + 1, links);
  links[node].right = BuildBalancedTree(sorted.subspan(middle + 1), depth + 1, links);
  return node;
}

// Colours a balanced tree of n nodes as a red-black tree: black everywhere,
// except the nodes of an incomplete last level, which are red. Every path
// from the root to a missing child then passes the same number of black
// nodes, and no red node has a red child.
void ColourTree(std::span<const std::uint32_t> nodes, std::vector<TreeLinks>& links) {
  int deepest = 0;
  for (std::uint32_t n : nodes) deepest = std::max(deepest, links[n].depth);
  const std::size_t full = (std::size_t{1} << (deepest + 1)) - 1;
  for (std::uint32_t n : nodes) {
    links[n].color = (links[n].depth == deepest && nodes.size() != full) ? kRed : kBlack;
  }
}

std::vector<TreeLinks> BuildDirectoryTrees(std::span<const ImageElement> elements) {
  std::vector<TreeLinks> links(elements.size());
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (!elements[i].isStorage || elements[i].children.empty()) continue;
    std::vector<std::uint32_t> sorted = elements[i].children;
    std::sort(sorted.begin(), sorted.end(), [&elements](std::uint32_t a, std::uint32_t b) {
      return CompareNames(elements[a].name, elements[b].name) < 0;
    });
    links[i].child = BuildBalancedTree(sorted, 0, links);
    ColourTree(sorted, links);
  }
  return links;
}

class Emitter {
 public:
  explicit Emitter(ByteSink& sink) : sink_(sink) {}

  bool Bytes(std::span<const std::uint8_t> bytes) {
    ok_ = ok_ && sink_.Write(bytes.data(), bytes.size());
    written_ += bytes.size();
    return ok_;
  }
  bool Zeros(std::uint64_t count) {
    static const std::uint8_t zeros[kSectorSize] = {};
    while (ok_ && count > 0) {
      const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(count, kSectorSize));
      Bytes({zeros, part});
      count -= part;
    }
    return ok_;
  }
  bool PadTo(std::uint64_t unit) { return Zeros((unit - written_ % unit) % unit); }
  // Table entries, filled with kFreeSector up to whole sectors.
  bool Links(const std::vector<std::uint32_t>& links) {
    std::uint8_t sector[kSectorSize];
    for (std::size_t i = 0; ok_ && i < CeilDiv(links.size(), kLinksPerSector) * kLinksPerSector; ++i) {
      WriteU32(sector + 4 * (i % kLinksPerSector), i < links.size() ? links[i] : kFreeSector);
      if (i % kLinksPerSector == kLinksPerSector - 1) Bytes(sector);
    }
    return ok_;
  }
  bool Ok() const { return ok_; }

 private:
  ByteSink& sink_;
  std::uint64_t written_ = 0;
  bool ok_ = true;
};

void WriteHeader(const Layout& layout, std::uint8_t* header) {
  std::memset(header, 0, kHeaderSize);
  std::memcpy(header, kSignature, sizeof kSignature);
  WriteU16(header + kMinorVersionOffset, kMinorVersion);
  WriteU16(header + kMajorVersionOffset, 3);
  WriteU16(header + kByteOrderOffset, kByteOrderMark);
  WriteU16(header + kSectorShiftOffset, kSectorShift);
  WriteU16(header + kMiniSectorShiftOffset, 6);
  WriteU32(header + kFatSectorCountOffset, layout.fatSectors);
  WriteU32(header + kFirstDirectorySectorOffset, layout.directoryStart);
  WriteU32(header + kMiniStreamCutoffOffset, static_cast<std::uint32_t>(kMiniStreamCutoff));
  WriteU32(header + kFirstMiniFatSectorOffset, layout.miniFatStart);
  WriteU32(header + kMiniFatSectorCountOffset, layout.miniFatSectors);
  WriteU32(header + kFirstDifatSectorOffset, layout.difatStart);
  WriteU32(header + kDifatSectorCountOffset, layout.difatSectors);
  for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i) {
    WriteU32(header + kHeaderDifatOffset + 4 * i, i < layout.fatSectors ? layout.fatStart + i : kFreeSector);
  }
}

void WriteDirectoryEntry(const ImageElement& element, bool isRoot, const TreeLinks& links, Placement placement,
                         std::uint8_t* raw) {
  std::memset(raw, 0, kDirectoryEntrySize);
  const std::u16string_view name = isRoot ? std::u16string_view(kRootName) : element.name;
  for (std::size_t i = 0; i < name.size(); ++i) WriteU16(raw + kNameOffset + 2 * i, name[i]);
  WriteU16(raw + kNameLengthOffset, static_cast<std::uint16_t>((name.size() + 1) * 2));
  raw[kTypeOffset] = isRoot ? kTypeRoot : element.isStorage ? kTypeStorage : kTypeStream;
  raw[kColorOffset] = links.color;
  WriteU32(raw + kLeftOffset, links.left);
  WriteU32(raw + kRightOffset, links.right);
  WriteU32(raw + kChildOffset, element.isStorage ? links.child : kNoStream);
  // Storages other than the root own no sectors: start 0, size 0.
  const bool ownsSectors = isRoot || !element.isStorage;
  WriteU32(raw + kStartSectorOffset, ownsSectors ? placement.start : 0);
  WriteU64(raw + kStreamSizeOffset, ownsSectors ? placement.size : 0);
}

void WriteUnusedDirectoryEntry(std::uint8_t* raw) {
  std::memset(raw, 0, kDirectoryEntrySize);
  WriteU32(raw + kLeftOffset, kNoStream);
  WriteU32(raw + kRightOffset, kNoStream);
  WriteU32(raw + kChildOffset, kNoStream);
}

bool EmitDirectory(std::span<const ImageElement> elements, const Layout& layout, Emitter& out) {
  const std::vector<TreeLinks> links = BuildDirectoryTrees(elements);
  std::uint8_t raw[kDirectoryEntrySize];
  for (std::size_t i = 0; i < elements.size(); ++i) {
    Placement placement = layout.placement[i];
    if (i == 0) placement = {layout.miniStreamStart, layout.miniStreamSize};
    WriteDirectoryEntry(elements[i], i == 0, links[i], placement, raw);
    out.Bytes(raw);
  }
  WriteUnusedDirectoryEntry(raw);
  for (std::size_t i = elements.size(); i < std::size_t{layout.directorySectors} * kEntriesPerDirectorySector; ++i) {
    out.Bytes(raw);
  }
  return out.Ok();
}

bool EmitDifat(const Layout& layout, Emitter& out) {
  std::vector<std::uint32_t> links;
  std::uint32_t fatNumber = kHeaderDifatEntries;
  for (std::uint32_t k = 0; k < layout.difatSectors; ++k) {
    for (std::uint32_t i = 0; i < kFatNumbersPerDifatSector; ++i, ++fatNumber) {
      links.push_back(fatNumber < layout.fatSectors ? layout.fatStart + fatNumber : kFreeSector);
    }
    links.push_back(k + 1 < layout.difatSectors ? layout.difatStart + k + 1 : kEndOfChain);
  }
  return out.Links(links);
}

}  // namespace

bool FileSink::Write(const std::uint8_t* bytes, std::size_t count) {
  constexpr std::size_t kBufferSize = 1 << 16;
  if (buffer_.size() + count > kBufferSize && !Flush()) return false;
  if (count >= kBufferSize) return WriteAll(bytes, count);
  buffer_.insert(buffer_.end(), bytes, bytes + count);
  return true;
}

bool FileSink::Flush() {
  const bool ok = WriteAll(buffer_.data(), buffer_.size());
  buffer_.clear();
  return ok;
}

bool FileSink::WriteAll(const std::uint8_t* bytes, std::size_t count) { return file_.Write(bytes, count); }

int WriteImage(std::span<const ImageElement> elements, ByteSink& sink) {
  Layout layout;
  const int result = ComputeLayout(elements, layout);
  if (result != kOk) return result;

  Emitter out(sink);
  std::uint8_t header[kHeaderSize];
  WriteHeader(layout, header);
  out.Bytes(header);
  for (const ImageElement& element : elements) {
    if (!IsLarge(element)) continue;
    out.Bytes(element.data);
    out.PadTo(kSectorSize);
  }
  for (const ImageElement& element : elements) {
    if (!IsSmall(element)) continue;
    out.Bytes(element.data);
    out.PadTo(kMiniSectorSize);
  }
  out.PadTo(kSectorSize);
  out.Links(layout.miniFat);
  EmitDirectory(elements, layout, out);
  out.Links(BuildFat(layout, elements));
  EmitDifat(layout, out);
  return out.Ok() ? kOk : kCannotCreate;
}

}  // namespace xls::cfb::image
