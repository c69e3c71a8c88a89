#include "xls/xf_list.h"

#include <functional>

namespace xls {

std::size_t TXLSXFHash::operator()(const TXLSXF& xf) const {
  std::uint64_t a = xf.font | (std::uint64_t{xf.numFormat} << 16) | (std::uint64_t{xf.protection} << 32) |
                    (std::uint64_t{xf.parent} << 40) | (std::uint64_t{xf.alignment} << 56);
  std::uint64_t b = xf.rotation | (std::uint64_t{xf.indent} << 8) | (std::uint64_t{xf.usedAttributes} << 16) |
                    (std::uint64_t{xf.pattern} << 24) | (std::uint64_t{xf.fillColours} << 32);
  std::uint64_t c = xf.borders | (std::uint64_t{xf.borderColours} << 32);
  std::uint64_t h = std::hash<std::uint64_t>{}(a);
  h ^= std::hash<std::uint64_t>{}(b) + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
  h ^= std::hash<std::uint64_t>{}(c) + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
  return static_cast<std::size_t>(h);
}

namespace {
TXLSXF StyleXF(std::uint16_t font, std::uint16_t numFormat, std::uint8_t usedAttributes) {
  TXLSXF xf;
  xf.font = font;
  xf.numFormat = numFormat;
  xf.protection = 1;
  xf.parent = kStyleParent;
  xf.usedAttributes = usedAttributes;
  return xf;
}
}  // namespace

TXLSXFList::TXLSXFList() { Clear(); }

void TXLSXFList::Clear() {
  entries_.clear();
  index_.clear();
  entries_.push_back(StyleXF(0, 0, 0x00));                            // 0: Normal style
  for (int i = 1; i <= 14; ++i) entries_.push_back(StyleXF(0, 0, 0x3D));  // 1-14
  TXLSXF cell;                                                         // 15: default cell format
  entries_.push_back(cell);
  for (std::uint16_t format : {44, 42, 9, 43, 41}) entries_.push_back(StyleXF(1, format, 0x3E));  // 16-20
  for (std::uint32_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i], i);
  uses_.assign(entries_.size(), 0);

  styles_ = {
      {19, true, 3, 0xFF, {}}, {16, true, 4, 0xFF, {}}, {20, true, 6, 0xFF, {}},
      {17, true, 7, 0xFF, {}}, {18, true, 5, 0xFF, {}}, {0, true, 0, 0xFF, {}},
  };
}

const TXLSXF& TXLSXFList::Entry(std::uint32_t index) const {
  index = Resolve(index);
  if (index >= entries_.size()) index = kDefaultCellXF;
  return entries_[index];
}

const TXLSXF& TXLSXFList::At(std::uint32_t index) const {
  return entries_[index < entries_.size() ? index : kDefaultCellXF];
}

std::uint32_t TXLSXFList::FindOrAdd(const TXLSXF& xf) {
  const auto found = index_.find(xf);
  if (found != index_.end()) return found->second;
  const auto index = static_cast<std::uint32_t>(entries_.size());
  entries_.push_back(xf);
  uses_.push_back(0);
  index_.emplace(xf, index);
  return index;
}

void TXLSXFList::Set(std::uint32_t index, const TXLSXF& xf) {
  if (index >= entries_.size()) {
    for (auto i = static_cast<std::uint32_t>(entries_.size()); i < index; ++i) {
      entries_.emplace_back();
      index_.emplace(entries_.back(), i);
    }
    entries_.push_back(xf);
    uses_.resize(entries_.size(), 0);
  } else {
    const auto old = index_.find(entries_[index]);
    if (old != index_.end() && old->second == index) index_.erase(old);
    entries_[index] = xf;
  }
  index_.emplace(xf, index);  // keeps an earlier entry with the same content
}

void TXLSXFList::AddUse(std::uint32_t index) {
  if (index >= uses_.size()) uses_.resize(index + 1, 0);
  ++uses_[index];
}

void TXLSXFList::ReleaseUse(std::uint32_t index) {
  if (index < uses_.size() && uses_[index] > 0) --uses_[index];
}

void TXLSXFList::MoveUse(std::uint32_t from, std::uint32_t to) {
  if (from == to) return;
  ReleaseUse(from);
  AddUse(to);
}

std::uint32_t TXLSXFList::UseCount(std::uint32_t index) const { return index < uses_.size() ? uses_[index] : 0; }

std::uint16_t TXLSXFList::EffectiveNumFormat(std::uint32_t index) const {
  const TXLSXF& xf = Entry(index);
  if (xf.numFormat == 0 && (xf.usedAttributes & kUsedNumFormat) == 0 && !xf.IsStyle() &&
      xf.parent < entries_.size())
    return entries_[xf.parent].numFormat;
  return xf.numFormat;
}

}  // namespace xls
