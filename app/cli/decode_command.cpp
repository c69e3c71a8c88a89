// talvane-cli decode: what the decoders read from a received PDU, as one
// JSON object. A PDU the decoders cannot read is said once on the error
// output (the first "PDU ERROR" report) and gives exit status 1. A message shows
// its text, sender, timestamp and concatenation values; a status report its
// recipient, reference, status, discharge time and timestamp. Both show what
// the byte decoder read under "pdu". Each time is shown once, as the service
// centre stated it, with its zone.

#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "app/cli/command.h"
#include "app/cli/json_text.h"
#include "app/cli/options.h"
#include "platform/codepage.h"
#include "sms/pdu_bytes.h"
#include "sms/sms_decoder.h"

namespace cli {
namespace {

constexpr char kUsage[] = "decode PDU";

// A time of the PDU as the service centre stated it, with the zone it
// stated: "2002-08-26 19:37:41+02:00" (the byte decoder keeps it in UTC+1
// and the zone beside it). A PDU without a readable time gives the zero
// time, without a zone.
std::string StatedTime(const sms::DateTime& utcPlusOne, int zoneMinutes) {
  constexpr int kUtcPlusOneMinutes = 60;
  if (utcPlusOne.IsZero()) return JsonString(sms::FormatDateTime(utcPlusOne));
  const sms::DateTime stated = sms::AddMinutes(utcPlusOne, zoneMinutes - kUtcPlusOneMinutes);
  const int offset = zoneMinutes < 0 ? -zoneMinutes : zoneMinutes;
  char zone[8];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", zoneMinutes < 0 ? '-' : '+', offset / 60 % 100, offset % 60);
  return JsonString(sms::FormatDateTime(stated) + zone);
}

// The byte decoder's record as a JSON object; its time is the message's
// timestamp, shown beside it.
std::string JsonRecord(const sms::TSmsPdu& bytes) {
  std::ostringstream out;
  out << "{\"kind\": " << int(bytes.Kind) << ", \"smsc\": " << JsonAnsiString(bytes.Smsc)
      << ", \"address\": " << JsonAnsiString(bytes.Address) << ", \"reference\": " << int(bytes.Reference)
      << ", \"status\": " << int(bytes.Status) << ", \"pid\": " << int(bytes.PID) << ", \"dcs\": " << int(bytes.DCS)
      << ", \"text\": " << JsonAnsiString(bytes.Text) << "}";
  return out.str();
}

void PrintStatusReport(const sms::TSmsPdu& report) {
  std::cout << "{\"recipient\": " << JsonAnsiString(report.Address) << ", \"reference\": " << int(report.Reference)
            << ", \"status\": " << int(report.Status)
            << ", \"discharge\": " << StatedTime(report.DischargeTime, report.DischargeZone)
            << ", \"timestamp\": " << StatedTime(report.Time, report.TimeZone)
            << ", \"pdu\": " << JsonRecord(report)
            << "}\n";
}

// Prints what the decoders read; false when they could not read the PDU
// (what they reported is said once on stderr).
bool PrintMessage(const std::string& pdu, const sms::TSmsPdu& bytes) {
  sms::TSMS decoder;
  decoder.ParsePDU(pdu);
  const std::u16string text = decoder.GetText();
  const std::string sender = decoder.GetSender();
  const sms::UDHValues udh = sms::GetUDHValues(pdu);
  // The first field that could not be read says it.
  const std::vector<std::string>& errors = decoder.Errors();
  if (!errors.empty()) {
    std::cerr << "talvane-cli decode: the PDU cannot be read: " << platform::AnsiToUtf8(errors.front()) << "\n";
  }

  std::cout << "{\"text\": " << JsonString(platform::Utf16ToUtf8(text))
            << ", \"sender\": " << JsonAnsiString(sender)
            << ", \"timestamp\": " << StatedTime(bytes.Time, bytes.TimeZone) << ", \"udh\": {\"ref\": "
            << udh.reference << ", \"total\": " << udh.total << ", \"seq\": " << udh.sequence << "}"
            << ", \"pdu\": " << JsonRecord(bytes) << "}\n";
  return errors.empty();
}

int RunDecode(const std::vector<std::string>& args) {
  std::string pdu;
  OptionParser parser(kUsage, "What the decoders read from a received PDU, as one JSON object.");
  parser.Positional("PDU", pdu, "hexadecimal text as the modem gives it, SMSC information first");
  if (const std::optional<int> status = parser.Parse(args)) return *status;
  const sms::TSmsPdu bytes = sms::DecodeBytes(true, pdu);
  if (bytes.Kind == sms::kStatusReportParsed) {
    PrintStatusReport(bytes);
    return 0;
  }
  return PrintMessage(pdu, bytes) ? 0 : 1;
}

const CommandRegistration registration({"decode", kUsage, RunDecode});

}  // namespace
}  // namespace cli
