#pragma once
// Small value types shared by the window logic and its views: colours, fonts,
// rectangles, and the conversion of the program's UTF-8 source literals into
// its Windows-1250 text.
//
// Threads: plain values, no shared state; safe from any thread.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace app {

using platform::AnsiString;

// A colour as 0xRRGGBB.
using TColor = std::uint32_t;

constexpr TColor Rgb(unsigned r, unsigned g, unsigned b) { return (r << 16) | (g << 8) | b; }
constexpr unsigned RedOf(TColor c) { return (c >> 16) & 0xFF; }
constexpr unsigned GreenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(TColor c) { return c & 0xFF; }

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0xFF0000;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clBlue = 0x0000FF;
inline constexpr TColor clYellow = 0xFFFF00;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clBtnFace = 0xF0F0F0;

// The font of a control or of a run of log text. Color is the text colour.
struct TFont {
  std::string Name = "Tahoma";
  int Size = 8;  // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TColor Color = clBlack;

  bool operator==(const TFont&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// The program's text from a UTF-8 literal of the source code.
inline AnsiString Ansi(std::string_view utf8) { return platform::Utf8ToAnsi(utf8); }

}  // namespace app
