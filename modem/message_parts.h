#pragma once
// From a send request to message parts: the destination number normalised,
// the text prepared and split into parts that each fit one SMS-SUBMIT, the
// parts grouped into concatenated messages of at most SMSMergeMax parts, and
// one TQueuedPart per part for the engine's send queue. The same splitting,
// run on the text as typed, tells the composer how many messages it costs.
//
// A part line is the text form of a part that the component shows
// (TxMessageParts) and logs: one CSV record of seven fields, always written
// from the part itself and never read back:
//   0 TPDU length (the number after "AT+CMGS=")   1 PDU
//   2 "part text", CR LF written %n and " written %~ (with its group prefix)
//   3 "marker"   4 part number (from 1)   5 number of parts   6 destination
// for example: 18,0011000B918421436587F90000AD04D4F29C0E,"Test","600100200",1,1,+48123456789
//
// Threads: pure functions, no shared state; safe from any thread (the
// component splits on the main thread, the engine checks parts on its own).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "modem/outgoing_message.h"
#include "platform/codepage.h"

namespace modem {

// The destination as the SMSNumber setter stores it. With checkNumberSyntax:
// trimmed, a leading prefixForCountry removed, then one leading "0", and
// prefixForCountry put in front ("0123456789" -> "+48123456789"). Without it,
// the value unchanged.
std::string NormaliseNumber(std::string_view value, std::string_view prefixForCountry, bool checkNumberSyntax);

// The text a send request splits: Polish letters transliterated unless
// specialSymbols (then the whole text goes out in UCS-2), CR LF pairs turned
// into spaces when cutCrLf.
platform::AnsiString PrepareTextForSending(std::string_view text, bool specialSymbols, bool cutCrLf);

struct SplitRequest {
  TRecipient recipient;        // the PDUs are addressed to recipient.destination
  platform::AnsiString text;   // Windows-1250, split as it stands
  std::string marker;          // SMSMessageMarker
  int mergeMax = 3;            // SMSMergeMax: parts per concatenated message (2..255)
  bool flash = false;          // SMSFlash
  bool forceUcs2 = false;      // SpecialSymbols
  bool statusReport = false;   // SMSReport
};

// The parts of a request, each carrying its recipient; none for a text that
// is blank after trimming. `reference` is the concatenation reference of the
// first group; it advances by the number of groups that carried a header.
// Throws sms::EncodeError when a part cannot be encoded (so long a number
// that no character fits).
std::vector<TQueuedPart> SplitIntoParts(const SplitRequest& request, std::uint8_t& reference);

// The message reference in a modem's answer to a submission: the number
// after the first "+CMGS" and a space, up to the end of its line; -1 when
// there is none or it is not a number.
int MessageReference(std::string_view answer);

// The length is positive and the PDU a whole hexadecimal text: nothing else
// may go to the modem (a destination that is not a number puts its
// characters, line ends and Ctrl-Z included, into the PDU).
bool IsSendablePart(const TQueuedPart& part);

// The part line of a part. The marker is always quoted (inner quotes
// doubled); the PDU and the destination are quoted only when they hold a
// comma or a quote or begin or end with a blank (a destination that is not a
// number puts its characters into the PDU as they are), so that every field
// reads back unchanged with CsvField.
std::string FormatPartLine(const TQueuedPart& part);
std::vector<std::string> FormatPartLines(const std::vector<TQueuedPart>& parts);

// Field 2 of a part line: CR LF as "%n", a double quote as "%~".
std::string EscapePartText(std::string_view text);
// "%n" back to CR LF, as a sent part is reported ("%~" stays).
std::string RestoreLineBreaks(std::string_view field);

}  // namespace modem
