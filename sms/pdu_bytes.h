#pragma once
// The byte decoder: message kind, addresses, timestamp and, for status
// reports, the reference and the status of a PDU given as hexadecimal text
// (SMSC information first). It reads hexadecimal digits of either case;
// other or missing characters give meaningless octets (read as 0), never an
// error, and nothing is read outside the text.
//
// Threads: pure functions, no shared state; safe from any thread (the engine
// decodes received PDUs on its own).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "sms/date_time.h"

namespace sms {

// Values of TSmsPdu::Kind.
enum PduKind : std::uint8_t {
  kMessageParsed = 0,
  kMessageNotParsed = 1,
  kStatusReportParsed = 2,
  kStatusReportNotParsed = 3,
  kSubmitNotParsed = 4,
  kSubmitWithReference = 5,
};

struct TSmsPdu {
  std::string Smsc;             // SMSC digits, no "+"; empty without SMSC information
  std::string Address;          // originator of a message, recipient of a status report: its
                                // digits, or the name of an alphanumeric address
  platform::AnsiString Text;    // 7-bit text of a message cut to TP-UDL; empty for a report
  std::uint8_t FirstOctet = 0;
  std::uint8_t Kind = kMessageParsed;
  std::uint8_t Reference = 0;   // TP-MR of a report (and of kind 5); kind 1: the octet after the first
  std::uint8_t Status = 0;      // TP-ST of a report
  std::uint8_t PID = 0;
  std::uint8_t DCS = 0;
  DateTime Time;                // service centre timestamp in UTC+1
  DateTime DischargeTime;       // of a status report: when the message reached the
                                // recipient (or failed), in UTC+1; zero for a message
  int TimeZone = 0;             // the zone the PDU states for Time, in minutes east of UTC
  int DischargeZone = 0;        // the same for DischargeTime
};

// With `parse` clear only the kind (and for kinds 1 and 5 the reference) is
// read.
TSmsPdu DecodeBytes(bool parse, std::string_view pdu);

}  // namespace sms
