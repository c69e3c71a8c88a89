#include "xls/cfb/compound_file_writer.h"

#include <algorithm>
#include <limits>
#include <new>

#include "platform/atomic_file.h"
#include "xls/cfb/file_image.h"
#include "xls/cfb/format.h"
#include "xls/cfb/result_codes.h"
#include "xls/cfb/whole_or_nothing.h"

namespace xls::cfb {

namespace {

// Version 3 keeps stream sizes in 32 bits.
constexpr std::uint64_t kMaxStreamSize = std::numeric_limits<std::uint32_t>::max();

}  // namespace

CompoundFileWriter::CompoundFileWriter() {
  Node root;
  root.name = format::kRootName;
  root.isStorage = true;
  nodes_.push_back(std::move(root));
}

CompoundFileWriter::~CompoundFileWriter() = default;

int CompoundFileWriter::Create(const std::filesystem::path& target) {
  auto file = std::make_unique<platform::AtomicFile>();
  if (!file->Create(target)) {
    pending_ = nullptr;
    return kCannotCreate;
  }
  pending_ = std::move(file);
  return kOk;
}

int CompoundFileWriter::AddNode(StorageId parent, std::u16string_view name, bool isStorage, std::uint32_t& created) {
  if (parent >= nodes_.size() || !nodes_[parent].isStorage) return kInvalidHandle;
  if (!format::IsValidName(name)) return kInvalidName;
  std::vector<std::uint32_t>& siblings = nodes_[parent].children;
  const auto same = std::find_if(siblings.begin(), siblings.end(),
                                 [&](std::uint32_t n) { return format::SameName(nodes_[n].name, name); });
  if (same != siblings.end()) Detach(parent, *same);
  Node node;
  node.name = name;
  node.isStorage = isStorage;
  created = static_cast<std::uint32_t>(nodes_.size());
  nodes_.push_back(std::move(node));
  nodes_[parent].children.push_back(created);
  return kOk;
}

void CompoundFileWriter::Detach(StorageId parent, std::uint32_t child) {
  std::erase(nodes_[parent].children, child);
  // The node stays (ids are indexes) but lets go of its bytes; its subtree is
  // unreachable and never written.
  nodes_[child].data = {};
  nodes_[child].children = {};
}

int CompoundFileWriter::AddStorage(StorageId parent, std::u16string_view name, StorageId& created) {
  return AddNode(parent, name, true, created);
}

int CompoundFileWriter::AddStream(StorageId parent, std::u16string_view name, std::vector<std::uint8_t> bytes) {
  if (bytes.size() > kMaxStreamSize) return kTooLarge;
  std::uint32_t created = 0;
  const int result = AddNode(parent, name, false, created);
  if (result == kOk) nodes_[created].data = std::move(bytes);
  return result;
}

int CompoundFileWriter::CopyStorage(const CompoundFileReader& source, EntryId sourceStorage, StorageId parent) {
  EntryInfo info;
  if (parent >= nodes_.size() || !nodes_[parent].isStorage) return kInvalidHandle;
  if (source.Stat(sourceStorage, info) != kOk || info.type != EntryType::Storage) return kInvalidHandle;

  // A failed copy is undone: nodes are only ever appended, and the parent's
  // list of children is put back as it was (with an element the copy replaced).
  const std::vector<std::uint32_t> parentChildren = nodes_[parent].children;
  const std::size_t nodeCount = nodes_.size();
  std::uint32_t replaced = std::numeric_limits<std::uint32_t>::max();
  for (std::uint32_t n : parentChildren) {
    if (format::SameName(nodes_[n].name, info.name)) replaced = n;
  }
  Node replacedNode;
  if (replaced < nodes_.size()) replacedNode = nodes_[replaced];

  StorageId created = 0;
  int result = AddNode(parent, info.name, true, created);
  if (result == kOk) result = CopyChildren(source, sourceStorage, created, 1);
  if (result != kOk) {
    nodes_.resize(nodeCount);
    nodes_[parent].children = parentChildren;
    if (replaced < nodes_.size()) nodes_[replaced] = std::move(replacedNode);
  }
  return result;
}

int CompoundFileWriter::CopyChildren(const CompoundFileReader& source, EntryId sourceStorage, StorageId parent,
                                     int depth) {
  // The reader refuses files nested deeper than this; the check keeps the
  // recursion bounded all the same.
  if (depth > kMaxStorageDepth) return kCorrupt;
  std::vector<EntryInfo> children;
  int result = source.Children(sourceStorage, children);
  for (std::size_t i = 0; result == kOk && i < children.size(); ++i) {
    const EntryInfo& child = children[i];
    if (child.type == EntryType::Storage) {
      StorageId created = 0;
      result = AddStorage(parent, child.name, created);
      if (result == kOk) result = CopyChildren(source, child.id, created, depth + 1);
    } else {
      std::vector<std::uint8_t> bytes;
      result = source.ReadStream(child.id, bytes);
      if (result == kOk) result = AddStream(parent, child.name, std::move(bytes));
    }
  }
  return result;
}

namespace {

// The elements reachable from the root, numbered breadth first.
template <typename Nodes>
std::vector<image::ImageElement> Elements(const Nodes& nodes) {
  std::vector<image::ImageElement> elements;
  std::vector<std::uint32_t> order{0};
  for (std::size_t next = 0; next < order.size(); ++next) {
    const auto& node = nodes[order[next]];
    image::ImageElement element;
    element.name = node.name;
    element.isStorage = node.isStorage;
    element.data = node.data;
    for (std::uint32_t child : node.children) {
      element.children.push_back(static_cast<std::uint32_t>(order.size()));
      order.push_back(child);
    }
    elements.push_back(std::move(element));
  }
  return elements;
}

}  // namespace

int CompoundFileWriter::Commit() {
  if (!pending_) return kWrongState;
  std::unique_ptr<platform::AtomicFile> file = std::move(pending_);
  image::FileSink sink(*file);
  int result = image::WriteImage(Elements(nodes_), sink);
  if (result == kOk && !sink.Flush()) result = kCannotCreate;
  if (result == kOk && !file->Commit()) result = kCannotCreate;
  return result;  // a file given up removes its temporary file as it goes
}

int CompoundFileWriter::SaveToBytes(std::vector<std::uint8_t>& out) const {
  image::VectorSink sink(out);
  return FillWholeOrNothing(out, [&] { return image::WriteImage(Elements(nodes_), sink); });
}

}  // namespace xls::cfb
