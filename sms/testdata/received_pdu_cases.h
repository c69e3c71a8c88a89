#pragma once
// Received PDUs built for the tests of the decoders: a message in every data
// coding group, and concatenated parts with the element in every place. The
// SMS codec's own tests decode them, and the oracle test has python3-gammu
// read them too.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "sms/concatenation.h"
#include "sms/hex_text.h"
#include "sms/sms_encoder.h"

namespace sms::testing {

// Sender, SMSC (none) and timestamp of every PDU built here.
inline constexpr char kSender[] = "+48123456789";
inline constexpr char kTimestamp[] = "2024-03-05 14:07:09";

// An SMS-DELIVER from kSender whose user data are `utf8Text` coded as
// `coding` (kCoding7Bit, kCoding8Bit or kCodingUcs2) behind the header `udh`
// (hexadecimal, its length octet first; may be empty), with `dcs` as its
// data coding scheme whatever the coding. The user data are those the
// encoder builds for a submit.
inline std::string DeliverPdu(unsigned dcs, std::uint8_t coding, std::string_view utf8Text,
                              std::string_view udh = "") {
  TSMSD encoder;
  encoder.SetNumber(kSender);
  encoder.SetText(platform::Utf8ToUtf16(utf8Text));
  encoder.SetCoding(coding);
  encoder.SetUDH(std::string(udh));
  // "00 11 00 0B 91 8421436587F9 00 dcs AD" come before TP-UDL in the submit.
  const std::string userData = encoder.EncodePDU().substr(28);
  return std::string("00") + (udh.empty() ? "04" : "44") + "0B918421436587F9" + "00" + HexOctet(dcs) +
         "42305041709000" + userData;
}

inline constexpr char kUnknownScheme[] = "(Uwaga: Nieznany schemat kodowania)";

struct DataCodingCase {
  std::string name;
  std::string pdu;
  std::string text;   // what the text decoder gives, UTF-8
  int messageClass;   // -1 for none
  bool gammuAgrees;   // python3-gammu reads text and class of this octet as 3GPP TS 23.038 does
};

// A message in each data coding group, its user data in each alphabet the
// group can name (and, for groups with a fixed alphabet, under bits that
// would name another one in the general group).
inline std::vector<DataCodingCase> DataCodingCases() {
  const std::string text7 = "Voicemail: 2 new [1]";
  const std::string text8 = "«8-bit» ±1 ×2 25°";
  const std::string textUcs2 = "Zażółć 25°C";
  const auto septets = [&](unsigned dcs) { return DeliverPdu(dcs, kCoding7Bit, text7); };
  const auto octets = [&](unsigned dcs) { return DeliverPdu(dcs, kCoding8Bit, text8); };
  const auto wide = [&](unsigned dcs) { return DeliverPdu(dcs, kCodingUcs2, textUcs2); };
  return {
      // General data coding: bits 3-2 the alphabet, bit 4 a class in bits 1-0, bit 5 compressed.
      {"general 7-bit", septets(0x00), text7, -1, true},
      {"general 8-bit", octets(0x04), text8, -1, true},
      {"general UCS-2", wide(0x08), textUcs2, -1, true},
      {"general reserved alphabet", septets(0x0C), kUnknownScheme, -1, false},
      {"general 7-bit class 1", septets(0x11), text7, 1, true},
      {"general 8-bit class 2", octets(0x16), text8, 2, true},
      {"general UCS-2 class 3", wide(0x1B), textUcs2, 3, true},
      {"general compressed 7-bit", septets(0x20), kUnknownScheme, -1, false},
      {"general compressed 8-bit class 0", octets(0x34), kUnknownScheme, 0, false},
      // Automatic deletion: the same bits.
      {"deletion 7-bit", septets(0x40), text7, -1, true},
      {"deletion 8-bit, no class", octets(0x45), text8, -1, true},
      {"deletion UCS-2 class 2", wide(0x5A), textUcs2, 2, false},
      {"deletion compressed", septets(0x68), kUnknownScheme, -1, false},
      // Reserved groups 1000 to 1011.
      {"reserved 80", septets(0x80), kUnknownScheme, -1, false},
      {"reserved 94", octets(0x94), kUnknownScheme, -1, false},
      {"reserved A8", wide(0xA8), kUnknownScheme, -1, false},
      {"reserved BF", septets(0xBF), kUnknownScheme, -1, false},
      // Message waiting, discard: 7-bit; bit 3 active, bits 1-0 the kind.
      {"waiting discard inactive", septets(0xC0), text7, -1, true},
      {"waiting discard active", septets(0xC8), text7, -1, true},
      {"waiting discard, bit 2 set", septets(0xC4), text7, -1, false},
      // Message waiting, store: 7-bit.
      {"waiting store inactive fax", septets(0xD1), text7, -1, true},
      {"waiting store active", septets(0xD8), text7, -1, true},
      {"waiting store active other", septets(0xDB), text7, -1, true},
      {"waiting store, bits 3-2 set", septets(0xDC), text7, -1, false},
      // Message waiting, store, UCS-2.
      {"waiting UCS-2 inactive", wide(0xE0), textUcs2, -1, true},
      {"waiting UCS-2 active", wide(0xE8), textUcs2, -1, true},
      {"waiting UCS-2 active e-mail", wide(0xEA), textUcs2, -1, true},
      {"waiting UCS-2, bit 2 set", wide(0xE4), textUcs2, -1, false},
      // Data coding and message class: bit 2 clear 7-bit, set 8-bit.
      {"F group 7-bit class 0", septets(0xF0), text7, 0, true},
      {"F group 7-bit class 1", septets(0xF1), text7, 1, true},
      {"F group 7-bit class 3, bit 3 set", DeliverPdu(0xFB, kCoding7Bit, "1917812300     22:30   RATTHI"),
       "1917812300     22:30   RATTHI", 3, false},
      {"F group 8-bit class 0", octets(0xF4), text8, 0, true},
      {"F group 8-bit class 2", octets(0xF6), text8, 2, true},
      {"F group 8-bit class 3", octets(0xF7), text8, 3, true},
  };
}

struct ConcatenationCase {
  std::string name;
  std::string pdu;
  std::string text;  // UTF-8
  UDHValues values;
  bool gammuReads;   // python3-gammu recognises the concatenation of this header
};

// Pieces of long messages: the concatenation element first, second or among
// several, with an 8- or a 16-bit reference, in 7-bit and UCS-2.
inline std::vector<ConcatenationCase> ConcatenationCases() {
  const auto part = [](std::string_view udh, std::uint8_t coding = kCoding7Bit) {
    return DeliverPdu(coding == kCodingUcs2 ? 0x08 : 0x00, coding, "Piece of a long reply", udh);
  };
  const std::string text = "Piece of a long reply";
  return {
      {"8-bit reference first", part("0500032A0302"), text, {42, 3, 2}, true},
      {"16-bit reference first", part("060804ABCD0302"), text, {0xABCD, 3, 2}, true},
      {"16-bit reference, UCS-2", part("060804FFFF0201", kCodingUcs2), text, {65535, 2, 1}, true},
      // Application port addressing (05 04 ...) before the concatenation element.
      {"8-bit reference second", part("0B05040B8423F00003070302"), text, {7, 3, 2}, false},
      {"16-bit reference second", part("0C05040B8423F0080400070302"), text, {7, 3, 2}, false},
      // A national language shift (24 01 ...) first, in UCS-2.
      {"8-bit reference second, UCS-2", part("082401010003010201", kCodingUcs2), text, {1, 2, 1}, false},
      // Two concatenation elements: the last one counts.
      {"two elements, the last counts", part("0B0003010201080400020302"), text, {2, 3, 2}, false},
      // Unusable elements are ignored; the scan goes on past them.
      {"total 0 ignored", part("050003070002"), text, {}, false},
      {"sequence 0 ignored", part("050003070200"), text, {}, false},
      {"sequence above total ignored", part("050003070203"), text, {}, false},
      {"8-bit element of the wrong length", part("06000407000201"), text, {}, false},
      {"element past the header's end", part("03000307"), text, {}, false},
      {"no concatenation element", part("050404D2162E"), text, {}, false},
  };
}

}  // namespace sms::testing
