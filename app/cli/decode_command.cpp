// talvane-cli decode: what the decoders read from a received PDU, as one
// JSON object. A PDU the decoders cannot read is said once on the error
// output (the first "PDU ERROR" report) and gives exit status 1. A message shows
// its text, sender, timestamp and concatenation values; a status report its
// recipient, reference, status and discharge time. Both show what the byte
// decoder read under "pdu".

#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "app/cli/command.h"
#include "app/cli/options.h"
#include "platform/codepage.h"
#include "sms/pdu_bytes.h"
#include "sms/sms_decoder.h"

namespace cli {
namespace {

constexpr char kUsage[] = "decode PDU";

// A JSON string of UTF-8 text.
std::string Json(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out.push_back(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonAnsi(std::string_view text) { return Json(platform::AnsiToUtf8(text)); }

// The byte decoder's record as a JSON object.
std::string JsonRecord(const sms::TSmsPdu& bytes) {
  std::ostringstream out;
  out << "{\"kind\": " << int(bytes.Kind) << ", \"smsc\": " << JsonAnsi(bytes.Smsc)
      << ", \"address\": " << JsonAnsi(bytes.Address) << ", \"reference\": " << int(bytes.Reference)
      << ", \"status\": " << int(bytes.Status) << ", \"pid\": " << int(bytes.PID) << ", \"dcs\": " << int(bytes.DCS)
      << ", \"time\": " << Json(sms::FormatDateTime(bytes.Time)) << ", \"text\": " << JsonAnsi(bytes.Text) << "}";
  return out.str();
}

void PrintStatusReport(const sms::TSmsPdu& report) {
  std::cout << "{\"recipient\": " << JsonAnsi(report.Address) << ", \"reference\": " << int(report.Reference)
            << ", \"status\": " << int(report.Status)
            << ", \"discharge\": " << Json(sms::FormatDateTime(report.DischargeTime))
            << ", \"timestamp\": " << Json(sms::FormatDateTime(report.Time)) << ", \"pdu\": " << JsonRecord(report)
            << "}\n";
}

// Prints what the decoders read; false when they could not read the PDU
// (what they reported is said once on stderr).
bool PrintMessage(const std::string& pdu, const sms::TSmsPdu& bytes) {
  sms::TSMS decoder;
  decoder.ParsePDU(pdu);
  const std::u16string text = decoder.GetText();
  const std::string sender = decoder.GetSender();
  const sms::DateTime timestamp = decoder.GetTimeStamp();
  const sms::UDHValues udh = sms::GetUDHValues(pdu);
  // The first field that could not be read says it.
  const std::vector<std::string>& errors = decoder.Errors();
  if (!errors.empty()) {
    std::cerr << "talvane-cli decode: the PDU cannot be read: " << platform::AnsiToUtf8(errors.front()) << "\n";
  }

  std::cout << "{\"text\": " << Json(platform::Utf16ToUtf8(text)) << ", \"sender\": " << JsonAnsi(sender)
            << ", \"timestamp\": " << Json(sms::FormatDateTime(timestamp)) << ", \"udh\": {\"ref\": "
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
