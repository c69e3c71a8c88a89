#pragma once
// The workbook's 64-entry colour palette. Entries 0-7 are the fixed EGA
// colours; entries 8-63 are the 56 user colours, addressed by colour index
// 1-56 (entry = colour index + 7). Colours are packed as 0x00BBGGRR (red in
// the low byte), the usual RGB value of spreadsheet automation.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <array>
#include <cstdint>

namespace xls {

inline constexpr int kPaletteSize = 64;
inline constexpr int kFirstUserEntry = 8;
inline constexpr int kUserColourCount = 56;
// Pseudo entries of a fill: the system's window text and window background.
inline constexpr int kSystemForeground = 64;
inline constexpr int kSystemBackground = 65;
// The colour the system draws automatic fills and text with.
inline constexpr std::uint32_t kSystemWindowTextColour = 0x000000;

constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
         (static_cast<std::uint32_t>(blue) << 16);
}

class TXLSPalette {
 public:
  TXLSPalette();  // the standard BIFF8 default palette

  // Entry 0-63; anything else gives 0.
  std::uint32_t Entry(int entry) const;
  // Colour index 1-56.
  std::uint32_t Colour(int colourIndex) const { return Entry(colourIndex + 7); }
  // Accepts colour index 1-56 and ignores anything else.
  void SetColour(int colourIndex, std::uint32_t rgb);
  // The entry 8-63 nearest to rgb: smallest sum of absolute differences of
  // red, green and blue; an exact match wins at once, a tie keeps the lower entry.
  int NearestEntry(std::uint32_t rgb) const;
  void Reset();

  bool operator==(const TXLSPalette&) const = default;

 private:
  std::array<std::uint32_t, kPaletteSize> entries_{};
};

}  // namespace xls
