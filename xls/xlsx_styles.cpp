#include "xls/xlsx_styles.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/codepage.h"
#include "xls/result_codes.h"

namespace xls {

namespace {

std::optional<long> Number(const char* text) {
  if (!text) return std::nullopt;
  long value = 0;
  const char* end = text + std::strlen(text);
  const auto [next, error] = std::from_chars(text, end, value);
  if (error != std::errc() || next != end) return std::nullopt;
  return value;
}

// A colour as the file states it, before it is matched to the palette.
struct ColourSpec {
  enum class Kind { None, Auto, Indexed, Rgb, Theme } kind = Kind::None;
  long index = 0;
  std::uint32_t rgb = 0;  // 0x00BBGGRR
  double tint = 0;
};

ColourSpec ParseColour(const char** attributes) {
  ColourSpec colour;
  if (const char* tint = XmlAttribute(attributes, "tint")) colour.tint = XmlNumber(tint).value_or(0);
  if (const char* rgb = XmlAttribute(attributes, "rgb")) {
    const std::string_view hex(rgb);
    const std::string_view rrggbb = hex.size() >= 6 ? hex.substr(hex.size() - 6) : hex;
    std::uint32_t value = 0;
    const auto [next, error] = std::from_chars(rrggbb.data(), rrggbb.data() + rrggbb.size(), value, 16);
    if (error == std::errc() && next == rrggbb.data() + rrggbb.size() && rrggbb.size() == 6) {
      colour.kind = ColourSpec::Kind::Rgb;
      colour.rgb = Rgb(static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                       static_cast<std::uint8_t>(value));
    }
  } else if (const auto indexed = Number(XmlAttribute(attributes, "indexed"))) {
    colour.kind = ColourSpec::Kind::Indexed;
    colour.index = *indexed;
  } else if (const auto theme = Number(XmlAttribute(attributes, "theme"))) {
    colour.kind = ColourSpec::Kind::Theme;
    colour.index = *theme;
  } else if (const char* automatic = XmlAttribute(attributes, "auto"); automatic && std::strcmp(automatic, "0") != 0) {
    colour.kind = ColourSpec::Kind::Auto;
  }
  return colour;
}

std::uint32_t ApplyTint(std::uint32_t rgb, double tint) {
  if (tint == 0) return rgb;
  auto channel = [tint](std::uint32_t value) {
    const double c = static_cast<double>(value & 0xFF);
    const double tinted = tint < 0 ? c * (1 + tint) : c + (255 - c) * tint;
    return static_cast<std::uint8_t>(tinted < 0 ? 0 : tinted > 255 ? 255 : tinted + 0.5);
  };
  return Rgb(channel(rgb), channel(rgb >> 8), channel(rgb >> 16));
}

struct FillSpec {
  int pattern = 0;
  ColourSpec foreground;
  ColourSpec background;
};

// The colour scheme of the theme entry, in the order cell colours index it:
// light 1, dark 1, light 2, dark 2, accents 1-6, hyperlink, followed hyperlink.
class ThemeHandler : public XlsxXmlHandler {
 public:
  // The scheme of the default theme, for a workbook without a theme entry.
  std::array<std::uint32_t, 12> colours{Rgb(0xFF, 0xFF, 0xFF), Rgb(0, 0, 0),          Rgb(0xE7, 0xE6, 0xE6),
                                        Rgb(0x44, 0x54, 0x6A), Rgb(0x44, 0x72, 0xC4), Rgb(0xED, 0x7D, 0x31),
                                        Rgb(0xA5, 0xA5, 0xA5), Rgb(0xFF, 0xC0, 0x00), Rgb(0x5B, 0x9B, 0xD5),
                                        Rgb(0x70, 0xAD, 0x47), Rgb(0x05, 0x63, 0xC1), Rgb(0x95, 0x4F, 0x72)};

  void Start(std::string_view name, const char** attributes) override {
    static constexpr std::array<std::string_view, 12> kSlots{"lt1",     "dk1",     "lt2",     "dk2",
                                                             "accent1", "accent2", "accent3", "accent4",
                                                             "accent5", "accent6", "hlink",   "folHlink"};
    if (name == "clrScheme") inScheme_ = true;
    if (!inScheme_) return;
    for (std::size_t i = 0; i < kSlots.size(); ++i) {
      if (name == kSlots[i]) slot_ = static_cast<int>(i);
    }
    const char* value = nullptr;
    if (name == "srgbClr") value = XmlAttribute(attributes, "val");
    if (name == "sysClr") value = XmlAttribute(attributes, "lastClr");
    if (value && slot_ >= 0 && std::strlen(value) == 6) {
      const std::uint32_t hex = static_cast<std::uint32_t>(std::strtoul(value, nullptr, 16));
      colours[static_cast<std::size_t>(slot_)] = Rgb(static_cast<std::uint8_t>(hex >> 16),
                                                     static_cast<std::uint8_t>(hex >> 8), static_cast<std::uint8_t>(hex));
    }
  }
  void End(std::string_view name) override {
    if (name == "clrScheme") inScheme_ = false;
    if (name == "lt1" || name == "dk1" || name == "lt2" || name == "dk2" || name.starts_with("accent") ||
        name == "hlink" || name == "folHlink")
      slot_ = -1;
  }
  void Text(std::string_view) override {}

 private:
  bool inScheme_ = false;
  int slot_ = -1;
};

class StylesHandler : public XlsxXmlHandler {
 public:
  StylesHandler(TXLSWorkbook& book, const std::array<std::uint32_t, 12>& theme, std::vector<std::uint32_t>& out)
      : book_(book), theme_(theme), out_(out) {}

  void Start(std::string_view name, const char** attributes) override {
    if (name == "numFmt") return OnNumFmt(attributes);
    if (name == "fills" || name == "cellXfs") section_ = std::string(name);
    if (section_ == "fills") {
      if (name == "fill") fills_.emplace_back();
      if (fills_.empty()) return;
      if (name == "patternFill") {
        const char* type = XmlAttribute(attributes, "patternType");
        // A patternFill without a type that names a colour is solid in practice.
        fills_.back().pattern = type ? BiffPatternOf(type) : 0;
        typeGiven_ = type != nullptr;
      }
      if (name == "fgColor") {
        fills_.back().foreground = ParseColour(attributes);
        if (!typeGiven_) fills_.back().pattern = 1;
      }
      if (name == "bgColor") fills_.back().background = ParseColour(attributes);
    } else if (section_ == "cellXfs" && name == "xf") {
      OnCellXf(attributes);
    }
  }
  void End(std::string_view name) override {
    if (name == "fills" || name == "cellXfs") section_.clear();
  }
  void Text(std::string_view) override {}

 private:
  void OnNumFmt(const char** attributes) {
    const auto id = Number(XmlAttribute(attributes, "numFmtId"));
    const char* code = XmlAttribute(attributes, "formatCode");
    if (!id || !code || *id < 0 || *id > 0xFFFF) return;
    numFormats_.emplace_back(static_cast<std::uint16_t>(*id), platform::Utf8ToUtf16(code));
  }

  std::uint16_t ModelNumFormat(long id) {
    for (const auto& [fileId, text] : numFormats_) {
      if (fileId == id) return book_.NumFormats().FindOrAdd(text);
    }
    if (id < 0 || id > 0xFFFF || book_.NumFormats().Format(static_cast<std::uint16_t>(id)).empty()) return 0;
    return static_cast<std::uint16_t>(id);
  }

  int PaletteEntry(const ColourSpec& colour, int automatic) const {
    switch (colour.kind) {
      case ColourSpec::Kind::None:
      case ColourSpec::Kind::Auto:
        return automatic;
      case ColourSpec::Kind::Indexed:
        return colour.index >= 0 && colour.index <= kSystemBackground ? static_cast<int>(colour.index) : automatic;
      case ColourSpec::Kind::Rgb:
        return book_.Palette().NearestEntry(ApplyTint(colour.rgb, colour.tint));
      case ColourSpec::Kind::Theme:
        if (colour.index < 0 || colour.index >= static_cast<long>(theme_.size())) return automatic;
        return book_.Palette().NearestEntry(ApplyTint(theme_[static_cast<std::size_t>(colour.index)], colour.tint));
    }
    return automatic;
  }

  void OnCellXf(const char** attributes) {
    TXLSXF xf = book_.XFList().At(kDefaultCellXF);
    xf.numFormat = ModelNumFormat(Number(XmlAttribute(attributes, "numFmtId")).value_or(0));
    if (xf.numFormat != 0) xf.usedAttributes |= kUsedNumFormat;
    const long fillId = Number(XmlAttribute(attributes, "fillId")).value_or(0);
    if (fillId >= 0 && static_cast<std::size_t>(fillId) < fills_.size()) {
      const FillSpec& fill = fills_[static_cast<std::size_t>(fillId)];
      xf.pattern = static_cast<std::uint8_t>(fill.pattern);
      if (fill.pattern != 0) {
        xf.SetForeground(PaletteEntry(fill.foreground, kSystemForeground));
        xf.SetBackground(PaletteEntry(fill.background, kSystemBackground));
        xf.usedAttributes |= kUsedFill;
      }
    }
    out_.push_back(book_.XFList().FindOrAdd(xf));
  }

  TXLSWorkbook& book_;
  const std::array<std::uint32_t, 12>& theme_;
  std::vector<std::uint32_t>& out_;
  std::string section_;
  std::vector<std::pair<std::uint16_t, std::u16string>> numFormats_;
  std::vector<FillSpec> fills_;
  bool typeGiven_ = false;
};

}  // namespace

int BiffPatternOf(std::string_view patternType) {
  static constexpr std::array<std::string_view, 19> kPatterns{
      "none",       "solid",          "mediumGray",    "darkGray",  "lightGray", "darkHorizontal", "darkVertical",
      "darkDown",   "darkUp",         "darkGrid",      "darkTrellis", "lightHorizontal", "lightVertical",
      "lightDown",  "lightUp",        "lightGrid",     "lightTrellis", "gray125", "gray0625"};
  for (std::size_t i = 0; i < kPatterns.size(); ++i) {
    if (kPatterns[i] == patternType) return static_cast<int>(i);
  }
  return 0;
}

int ReadStyles(XlsxPackage& package, std::string_view stylesEntry, std::string_view themeEntry, TXLSWorkbook& book,
               std::vector<std::uint32_t>& cellFormats) {
  ThemeHandler theme;
  if (!themeEntry.empty() && package.Has(themeEntry)) {
    if (const int read = package.ReadEntry(themeEntry, theme); read != kOpenOk) return read;
  }
  if (stylesEntry.empty() || !package.Has(stylesEntry)) return kOpenOk;  // every cell in the default format
  StylesHandler styles(book, theme.colours, cellFormats);
  return package.ReadEntry(stylesEntry, styles);
}

}  // namespace xls
