#include "modem/pdu_line.h"

#include <cctype>
#include <cstdint>
#include <vector>

#include "modem/text_fields.h"
#include "modem/text_lines.h"

namespace modem {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads the octets of a TPDU field by field; every read checks that the
// octets are there.
class FieldReader {
 public:
  explicit FieldReader(const std::vector<std::uint8_t>& octets, size_t start) : octets_(octets), at_(start) {}

  bool Octet(std::uint8_t& value) {
    if (at_ >= octets_.size()) return false;
    value = octets_[at_++];
    return true;
  }
  bool Skip(size_t count) {
    if (octets_.size() - at_ < count) return false;
    at_ += count;
    return true;
  }
  // An address: its length in digits, its type octet, the digits two to an octet.
  bool Address() {
    std::uint8_t digits = 0;
    return Octet(digits) && Skip(1) && Skip((digits + 1u) / 2);
  }
  // TP-UDL and the user data it announces: septets for the GSM 7-bit
  // alphabet, octets for 8-bit data and UCS-2.
  bool UserData(std::uint8_t dcs) {
    std::uint8_t length = 0;
    if (!Octet(length)) return false;
    return Skip(CountsOctets(dcs) ? length : (length * 7u + 7u) / 8);
  }

 private:
  static bool CountsOctets(std::uint8_t dcs) {
    int alphabet = 0;
    if ((dcs & 0x80) == 0) {
      alphabet = (dcs >> 2) & 3;  // general data coding and automatic deletion groups
    } else if ((dcs & 0xF0) == 0xF0) {
      alphabet = (dcs & 0x04) ? 1 : 0;  // data coding / message class
    } else if ((dcs & 0xF0) == 0xE0) {
      alphabet = 2;  // message waiting, UCS-2
    }
    return alphabet == 1 || alphabet == 2;
  }

  const std::vector<std::uint8_t>& octets_;
  size_t at_;
};

std::string StructureFault(FieldReader& tpdu) {
  const std::string cutShort = "cut short";
  std::uint8_t first = 0;
  std::uint8_t dcs = 0;
  tpdu.Octet(first);
  switch (first & 3) {
    case 0:  // SMS-DELIVER: originator, PID, DCS, time stamp, user data
      if (!tpdu.Address() || !tpdu.Skip(1) || !tpdu.Octet(dcs) || !tpdu.Skip(7) || !tpdu.UserData(dcs)) {
        return cutShort;
      }
      return {};
    case 1: {  // SMS-SUBMIT: reference, destination, PID, DCS, validity period, user data
      const int validityFormat = (first >> 3) & 3;
      const size_t validity = validityFormat == 0 ? 0 : validityFormat == 2 ? 1 : 7;
      if (!tpdu.Skip(1) || !tpdu.Address() || !tpdu.Skip(1) || !tpdu.Octet(dcs) || !tpdu.Skip(validity) ||
          !tpdu.UserData(dcs)) {
        return cutShort;
      }
      return {};
    }
    case 2:  // SMS-STATUS-REPORT: reference, recipient, two time stamps, status
      if (!tpdu.Skip(1) || !tpdu.Address() || !tpdu.Skip(7 + 7 + 1)) return cutShort;
      return {};
    default:
      return "reserved message type";
  }
}

}  // namespace

std::string PduLineFault(std::string_view line, int announcedLength) {
  const std::string pdu = TrimControl(line);
  if (pdu.empty()) return "empty line";
  for (char c : pdu) {
    if (HexValue(c) < 0) return "not hexadecimal";
  }
  if (pdu.size() % 2 != 0) return "odd number of digits";
  std::vector<std::uint8_t> octets;
  octets.reserve(pdu.size() / 2);
  for (size_t i = 0; i < pdu.size(); i += 2) {
    octets.push_back(static_cast<std::uint8_t>(HexValue(pdu[i]) * 16 + HexValue(pdu[i + 1])));
  }
  const size_t tpduStart = 1 + size_t{octets[0]};
  if (tpduStart >= octets.size()) return "no message after the service centre information";
  const size_t tpduLength = octets.size() - tpduStart;
  if (announcedLength >= 0 && tpduLength < static_cast<size_t>(announcedLength)) {
    return "cut short (" + std::to_string(tpduLength) + " of " + std::to_string(announcedLength) + " octets)";
  }
  FieldReader tpdu(octets, tpduStart);
  return StructureFault(tpdu);
}

int AnnouncedPduLength(std::string_view headerLine) {
  const size_t colon = headerLine.find(':');
  if (colon == std::string_view::npos) return -1;
  const std::vector<std::string> fields = CsvFields(headerLine.substr(colon + 1));
  if (fields.empty()) return -1;
  return ToIntDef(TrimControl(fields.back()), -1);
}

std::string NormalisedPdu(std::string_view line) {
  std::string pdu = TrimControl(line);
  for (char& c : pdu) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return pdu;
}

}  // namespace modem
