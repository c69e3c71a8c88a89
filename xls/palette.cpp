#include "xls/palette.h"

#include <cstdlib>

namespace xls {

namespace {
// The default colours of a BIFF8 workbook, entries 0-63, as 0xRRGGBB.
constexpr std::array<std::uint32_t, kPaletteSize> kDefaultPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,  // 0-7
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,  // 8-15
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,  // 16-23
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,  // 24-31
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,  // 32-39
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,  // 40-47
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,  // 48-55
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,  // 56-63
};

std::uint32_t FromRrggbb(std::uint32_t rrggbb) {
  return Rgb(static_cast<std::uint8_t>(rrggbb >> 16), static_cast<std::uint8_t>(rrggbb >> 8),
             static_cast<std::uint8_t>(rrggbb));
}

int Channel(std::uint32_t rgb, int shift) { return static_cast<int>((rgb >> shift) & 0xFF); }
}  // namespace

TXLSPalette::TXLSPalette() { Reset(); }

void TXLSPalette::Reset() {
  for (int i = 0; i < kPaletteSize; ++i) entries_[i] = FromRrggbb(kDefaultPalette[i]);
}

std::uint32_t TXLSPalette::Entry(int entry) const {
  if (entry < 0 || entry >= kPaletteSize) return 0;
  return entries_[entry];
}

void TXLSPalette::SetColour(int colourIndex, std::uint32_t rgb) {
  if (colourIndex < 1 || colourIndex > kUserColourCount) return;
  entries_[colourIndex + 7] = rgb & 0xFFFFFF;
}

int TXLSPalette::NearestEntry(std::uint32_t rgb) const {
  int best = kFirstUserEntry;
  int bestDistance = 1 << 30;
  for (int entry = kFirstUserEntry; entry < kPaletteSize; ++entry) {
    const std::uint32_t colour = entries_[entry];
    const int distance = std::abs(Channel(colour, 0) - Channel(rgb, 0)) +
                         std::abs(Channel(colour, 8) - Channel(rgb, 8)) +
                         std::abs(Channel(colour, 16) - Channel(rgb, 16));
    if (distance == 0) return entry;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = entry;
    }
  }
  return best;
}

}  // namespace xls
