#include "sms/part_room.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/codepage.h"

namespace sms {
namespace {

// The measure PartRoom stands for: encode the candidate and drop its last
// character until the part fits.
size_t ShrinkUntilFits(std::string_view number, std::string_view prefix, std::string_view text, size_t candidate,
                       std::string_view udh, bool ucs2) {
  for (size_t length = std::min(candidate, text.size()); length > 0; --length) {
    const std::string chunk = std::string(prefix) + std::string(text.substr(0, length));
    if (FitsOnePart(EncodePart(number, chunk, udh, false, ucs2, false))) return length;
  }
  return 0;
}

TEST(PartRoom, KnownRoomPerPart) {
  const std::string letters(400, 'x');
  const std::string polish = platform::Utf8ToAnsi(std::string(100, 'x') + "ą" + std::string(300, 'y'));
  const std::string latin = platform::Utf8ToAnsi("«" + std::string(300, 'y'));
  const std::string euros = platform::Utf8ToAnsi("€€€€€€€€€€" + std::string(300, 'y'));
  struct Case {
    const char* name;
    std::string number;
    std::string text;
    size_t headerOctets;
    bool ucs2;
    std::string prefix;
    size_t room;
  } cases[] = {
      {"7-bit single", "+48123456789", letters, 0, false, "", 160},
      {"7-bit concatenated", "+48123456789", letters, 6, false, "", 153},
      {"7-bit with group prefix", "+48123456789", letters, 6, false, "<01z02>", 146},
      {"UCS-2 single", "+48123456789", letters, 0, true, "", 70},
      {"UCS-2 concatenated", "+48123456789", letters, 6, true, "", 67},
      // Latin-1 letters outside the alphabet go out in UCS-2, never as 8-bit data.
      {"guillemet single", "+48123456789", latin, 0, false, "", 70},
      {"guillemet concatenated", "+48123456789", latin, 6, false, "", 67},
      {"extension characters", "+48123456789", euros, 0, false, "", 150},
      {"Polish letter past the room", "+48123456789", polish, 0, false, "", 100},
      {"12 digits", "+481234567890", letters, 0, false, "", 160},
      {"13 digits", "+4812345678901", letters, 0, false, "", 158},
      {"14 digits", "+48123456789012", letters, 6, false, "", 151},
      {"national number", "600100200", letters, 0, false, "", 160},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PartRoom(c.number, c.ucs2).LongestFit(c.prefix, c.text, 160, c.headerOctets), c.room) << c.name;
  }
}

// PartRoom must agree with real encoding for every mix of characters, or the
// counted parts would differ from the parts sent.
TEST(PartRoom, AgreesWithEncodingCandidatesUntilOneFits) {
  const std::string pieces[] = {"a", "Z", "0", " ", "@", "\r\n", "\n", "€", "[", "|", "~", "é", "Ä",
                                "«", "»", "ą", "Ł", "„", "”", "–", "ß", "\x81"};
  std::vector<std::string> alphabet;
  for (const std::string& p : pieces) alphabet.push_back(p == "\x81" ? p : platform::Utf8ToAnsi(p));
  std::mt19937 random(20261210);
  const std::string numbers[] = {"+48123456789", "600100200", "+4812345678901234", "+48"};
  for (int round = 0; round < 2000; ++round) {
    // Texts mostly of one kind of character with a few others mixed in, so
    // that each coding meets its limits.
    const std::string& base = alphabet[random() % alphabet.size()];
    std::string text;
    const size_t length = 40 + random() % 200;
    while (text.size() < length) text += random() % 12 == 0 ? alphabet[random() % alphabet.size()] : base;
    const std::string& number = numbers[random() % std::size(numbers)];
    const bool ucs2 = random() % 4 == 0;
    const std::string udh = random() % 2 ? "050003000201" : "";
    const std::string prefix = random() % 3 == 0 ? "<01z02>" : "";
    const size_t candidate = std::min<size_t>(160, text.size());
    ASSERT_EQ(PartRoom(number, ucs2).LongestFit(prefix, text, candidate, udh.size() / 2),
              ShrinkUntilFits(number, prefix, text, candidate, udh, ucs2))
        << "text " << platform::AnsiToUtf8(text) << " number " << number << " ucs2 " << ucs2 << " udh " << udh
        << " prefix " << prefix;
  }
}

TEST(PartRoom, NothingFitsBehindAnOverlongNumber) {
  EXPECT_EQ(PartRoom("+" + std::string(290, '1'), false).LongestFit("", "abc", 3, 0), 0u);
}

}  // namespace
}  // namespace sms
