#pragma once
// Whether a line of a modem's text is a whole received PDU (SMS-DELIVER,
// SMS-STATUS-REPORT, or an SMS-SUBMIT kept in the modem's store), so that
// garbage or a PDU cut short is never taken for a message.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <string>
#include <string_view>

namespace modem {

// Why a line is not a whole PDU; empty when it is one. The line is
// hexadecimal (either case), SMSC information first; every field its first
// octet announces is there, user data included. `announcedLength` is the
// TPDU length of the header line before it ("+CMT: ,<length>"), -1 when not
// known; a line with fewer TPDU octets is cut short.
std::string PduLineFault(std::string_view line, int announcedLength = -1);

// The length field of a PDU header line ("+CMT: ,24", "+CMGL: 1,0,,24",
// "+CMGR: 0,,24", "+CDS: 25"): its last comma-separated field; -1 when that
// is not a number.
int AnnouncedPduLength(std::string_view headerLine);

// Upper-case hexadecimal of a PDU line, the form the decoders read.
std::string NormalisedPdu(std::string_view line);

}  // namespace modem
