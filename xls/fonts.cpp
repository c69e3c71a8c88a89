#include "xls/fonts.h"

#include <algorithm>

namespace xls {

TXLSFontList::TXLSFontList() { Clear(); }

void TXLSFontList::Clear() {
  fonts_.assign(kDefaultFontCount, TXLSFontData{});
  fileFontCount_ = 0;
}

const TXLSFontData& TXLSFontList::Font(int index) const {
  static const TXLSFontData kDefault;
  if (index < 0 || index >= Count()) return kDefault;
  return fonts_[static_cast<std::size_t>(index)];
}

int TXLSFontList::FindOrAdd(const TXLSFontData& font) {
  const auto found = std::find(fonts_.begin(), fonts_.end(), font);
  if (found != fonts_.end()) return static_cast<int>(found - fonts_.begin());
  fonts_.push_back(font);
  return Count() - 1;
}

void TXLSFontList::Set(int index, const TXLSFontData& font) {
  if (index < 0) return;
  if (index >= Count()) fonts_.resize(static_cast<std::size_t>(index) + 1);
  fonts_[static_cast<std::size_t>(index)] = font;
}

}  // namespace xls
