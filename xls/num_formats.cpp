#include "xls/num_formats.h"

#include <array>

namespace xls {

namespace {
// Built-in formats 0-49; the empty ones depend on the user's locale.
constexpr std::array<std::u16string_view, 50> kBuiltIn = {
    u"General", u"0", u"0.00", u"#,##0", u"#,##0.00",
    u"\"$\"#,##0_);(\"$\"#,##0)", u"\"$\"#,##0_);[Red](\"$\"#,##0)", u"\"$\"#,##0.00_);(\"$\"#,##0.00)",
    u"\"$\"#,##0.00_);[Red](\"$\"#,##0.00)", u"0%", u"0.00%", u"0.00E+00", u"# ?/?", u"# ?\?/?\?",
    u"m/d/yy", u"d-mmm-yy", u"d-mmm", u"mmm-yy", u"h:mm AM/PM", u"h:mm:ss AM/PM", u"h:mm", u"h:mm:ss",
    u"m/d/yy h:mm", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"",
    u"#,##0_);(#,##0)", u"#,##0_);[Red](#,##0)", u"#,##0.00_);(#,##0.00)", u"#,##0.00_);[Red](#,##0.00)",
    u"_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)", u"_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)",
    u"_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)",
    u"_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)", u"mm:ss", u"[h]:mm:ss",
    u"mm:ss.0", u"##0.0E+0", u"@",
};

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }
}  // namespace

TXLSNumFormatList::TXLSNumFormatList() { Clear(); }

void TXLSNumFormatList::Clear() {
  own_.clear();
  own_[5] = u"(\"$\"#,##0_);(\"$\"#,##0)";
  own_[6] = u"(\"$\"#,##0_);[Red](\"$\"#,##0)";
  own_[7] = u"(\"$\"#,##0.00_);(\"$\"#,##0.00)";
  own_[8] = u"(\"$\"#,##0.00_);[Red](\"$\"#,##0.00)";
}

std::u16string_view TXLSNumFormatList::FormatText(std::uint16_t index) const {
  const auto found = own_.find(index);
  if (found != own_.end()) return found->second;
  if (index < kBuiltIn.size()) return kBuiltIn[index];
  return {};
}

std::u16string TXLSNumFormatList::Format(std::uint16_t index) const { return std::u16string(FormatText(index)); }

void TXLSNumFormatList::Set(std::uint16_t index, std::u16string text) { own_[index] = std::move(text); }

std::uint16_t TXLSNumFormatList::FindOrAdd(std::u16string_view text) {
  for (const auto& [index, own] : own_) {
    if (own == text) return index;
  }
  for (std::uint16_t index = 0; index < kBuiltIn.size(); ++index) {
    if (!kBuiltIn[index].empty() && kBuiltIn[index] == text && !own_.contains(index)) return index;
  }
  std::uint16_t next = kFirstUserNumFormat;
  if (!own_.empty() && own_.rbegin()->first >= next) next = static_cast<std::uint16_t>(own_.rbegin()->first + 1);
  own_[next] = std::u16string(text);
  return next;
}

bool TXLSNumFormatList::IsDateFormatText(std::u16string_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const char16_t a = Upper(text[i]);
    const char16_t b = Upper(text[i + 1]);
    if (a == b && (a == u'D' || a == u'M' || a == u'Y' || a == u'H' || a == u'S')) return true;
  }
  return false;
}

}  // namespace xls
