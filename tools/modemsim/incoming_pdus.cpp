#include "tools/modemsim/incoming_pdus.h"

#include <cctype>
#include <cstdio>

namespace modemsim {
namespace {

// The service centre the simulated modem reports (its AT+CSCA answer).
constexpr const char* kServiceCentre = "+48601000310";

std::string Octet(int value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value & 0xFF);
  return text;
}

// Two decimal digits, swapped as PDUs carry them (24 -> "42").
std::string SwappedDecimal(int value) {
  const int v = value % 100;
  return std::string(1, static_cast<char>('0' + v % 10)) + static_cast<char>('0' + v / 10);
}

// A seven-octet time stamp in UTC (zone 0).
std::string TimeStamp(const std::tm& utc) {
  return SwappedDecimal(utc.tm_year) + SwappedDecimal(utc.tm_mon + 1) + SwappedDecimal(utc.tm_mday) +
         SwappedDecimal(utc.tm_hour) + SwappedDecimal(utc.tm_min) + SwappedDecimal(utc.tm_sec) + "00";
}

int HexOctetAt(const std::string& hex, size_t position) {
  if (position + 2 > hex.size() || !std::isxdigit(static_cast<unsigned char>(hex[position])) ||
      !std::isxdigit(static_cast<unsigned char>(hex[position + 1]))) {
    return -1;
  }
  return std::stoi(hex.substr(position, 2), nullptr, 16);
}

}  // namespace

std::string AddressField(const std::string& number) {
  const bool international = !number.empty() && number.front() == '+';
  std::string digits = international ? number.substr(1) : number;
  const size_t count = digits.size();
  if (digits.size() % 2 != 0) digits += 'F';
  std::string swapped;
  for (size_t i = 0; i < digits.size(); i += 2) swapped += std::string(1, digits[i + 1]) + digits[i];
  return Octet(static_cast<int>(count)) + (international ? "91" : "81") + swapped;
}

std::string DestinationField(const std::string& submitPdu) {
  const int smscOctets = HexOctetAt(submitPdu, 0);
  if (smscOctets < 0) return {};
  const size_t address = 2 + 2 * static_cast<size_t>(smscOctets) + 4;  // after the first octet and TP-MR
  const int digits = HexOctetAt(submitPdu, address);
  if (digits < 0) return {};
  const size_t length = 4 + 2 * ((static_cast<size_t>(digits) + 1) / 2);
  if (address + length > submitPdu.size()) return {};
  return submitPdu.substr(address, length);
}

std::string StatusReportPdu(int reference, const std::string& recipientField, int status, const std::tm& submitted,
                            const std::tm& discharged) {
  const std::string centre = AddressField(kServiceCentre).substr(2);  // type and digits
  // First octet 06: a status report, no more messages waiting.
  return Octet(static_cast<int>(centre.size() / 2)) + centre + "06" + Octet(reference) + recipientField +
         TimeStamp(submitted) + TimeStamp(discharged) + Octet(status);
}

}  // namespace modemsim
