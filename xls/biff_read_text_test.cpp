// Texts of BIFF5 workbooks that declare the UTF-16 code page (1200): one
// writer stores there the texts that are plain ASCII as 8-bit bytes and
// every other text as UTF-16LE bytes, in the same file. Each text is read as
// what its bytes are.

#include <gtest/gtest.h>

#include "xls/biff_read_text.h"
#include "xls/biff_test_builder.h"
#include "xls/range.h"
#include "xls/workbook.h"

namespace xls {
namespace {

using testing::Body;
using testing::Stream;

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text) { return Body().Utf16(text).Data(); }

std::vector<std::uint8_t> Latin1Bytes(std::u16string_view text) { return Body().Latin1(text).Data(); }

TEST(Biff5Utf16CodePage, EachTextIsReadAsWhatItsBytesAre) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::u16string expected;
  } cases[] = {
      {"ASCII of even length", Latin1Bytes(u"Telefony"), u"Telefony"},
      {"digits of odd length", Latin1Bytes(u"600123480"), u"600123480"},
      {"two digits", Latin1Bytes(u"12"), u"12"},
      {"digits of even length", Latin1Bytes(u"4860012348"), u"4860012348"},
      {"ASCII with a line break", Latin1Bytes(u"Ala\nma"), u"Ala\nma"},
      {"Polish letters in UTF-16", Utf16Bytes(u"Łódź – telefony"), u"Łódź – telefony"},
      {"a pangram in UTF-16", Utf16Bytes(u"Zażółć gęślą jaźń"), u"Zażółć gęślą jaźń"},
      {"Polish letters only", Utf16Bytes(u"ŁĄĘ"), u"ŁĄĘ"},
      {"Latin-1 letters in UTF-16", Utf16Bytes(u"Góra"), u"Góra"},
      {"digits in UTF-16", Utf16Bytes(u"600123456"), u"600123456"},
      {"Cyrillic in UTF-16", Utf16Bytes(u"Телефон"), u"Телефон"},
      // 8-bit text of the Windows code page: "Góra" and "Łąka!" in Windows-1250.
      {"8-bit letters of even length", {'G', 0xF3, 'r', 'a'}, u"Góra"},
      {"8-bit letters of odd length", {0xA3, 0xB9, 'k', 'a', '!'}, u"Łąka!"},
      {"8-bit signs of the code page", {0x96, 0x20, 0x80, 0x35}, u"– €5"},
      // Even length, but no plausible UTF-16: a lone surrogate, a control character.
      {"a lone surrogate", {'a', 0xD8, 'b', 0x00}, u"aŘb"},
      {"a control character", {0x01, 0x00, 'a', 0x00}, u"\u0001"},
      {"empty", {}, u""},
  };
  const TXLSTextDecoder decoder(false, 1200);
  for (const Case& c : cases) {
    std::u16string text = decoder.Decode8(c.bytes);
    CutAtNul(text);
    std::u16string expected = c.expected;
    CutAtNul(expected);
    EXPECT_EQ(text, expected) << c.what;
  }
}

TEST(Biff5Utf16CodePage, OtherCodePagesAndBiff8AreNotGuessed) {
  const std::vector<std::uint8_t> utf16 = Utf16Bytes(u"Łódź");
  // In a Windows-1250 workbook these bytes are 8-bit text, NULs and all.
  EXPECT_EQ(TXLSTextDecoder(false, 1250).Decode8(utf16), (std::u16string{u'A', 1, u'ó', 0, u'd', 0, u'z', 1}));
  // BIFF8 8-bit characters are the low bytes of UTF-16 characters.
  EXPECT_EQ(TXLSTextDecoder(true, 1200).Decode8(Latin1Bytes(u"Góra")), u"Góra");
}

// Sheet names, labels and rich strings of one workbook, some 8-bit, some
// UTF-16.
TEST(Biff5Utf16CodePage, SheetNamesLabelsAndRichStrings) {
  const std::u16string polishSheet = u"Łódź – telefony";
  Stream s(false);
  s.Globals().Record(0x0042, Body().U16(1200)).BoundSheet(u"Telefony");
  s.Record(0x0085, Body().U32(0).U8(0).U8(0).U8(static_cast<std::uint8_t>(2 * polishSheet.size())).Utf16(polishSheet));
  s.Eof().Worksheet();
  s.Record(0x0204, Stream::Cell(0, 0).U16(9).Latin1(u"600123480"));
  s.Record(0x0204, Stream::Cell(1, 0).U16(2).Latin1(u"12"));
  s.Record(0x0204, Stream::Cell(2, 0).U16(30).Utf16(u"Łódź – telefony"));
  // RSTRING: the string, then a run count and runs of 2 bytes (BIFF5).
  s.Record(0x00D6, Stream::Cell(3, 0).U16(8).Latin1(u"Telefony").U8(1).U8(0).U8(5));
  s.Record(0x00D6, Stream::Cell(4, 0).U16(8).Utf16(u"Żółw").U8(1).U8(0).U8(5));
  s.Eof().Worksheet().Record(0x0204, Stream::Cell(0, 0).U16(6).Latin1(u"Miasto")).Eof();
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(s.Data()), 1);
  ASSERT_EQ(book.Worksheets().Count(), 2);
  EXPECT_EQ(book.Worksheets().Entries(1)->Name(), u"Telefony");
  EXPECT_EQ(book.Worksheets().Entries(2)->Name(), polishSheet);
  const std::u16string expected[] = {u"600123480", u"12", u"Łódź – telefony", u"Telefony", u"Żółw"};
  for (int row = 0; row < 5; ++row)
    EXPECT_EQ(book.Worksheets().Entries(1)->Cells()->Item(row + 1, 1)->Value(), Variant::Text(expected[row])) << row;
  EXPECT_EQ(book.Worksheets().Entries(2)->Cells()->Item(1, 1)->Value(), Variant::Text(u"Miasto"));
}

}  // namespace
}  // namespace xls
