#pragma once
// The text decoder of received PDUs (SMS-DELIVER, and the SMS-SUBMIT shape a
// modem lists from its own store): text, originator, timestamp and the
// concatenation values of the user data header.
//
// A PDU arrives from the modem as hexadecimal text beginning with the SMSC
// information. It may be cut short, hold lower-case or non-hexadecimal
// characters, or announce lengths it does not have: every operation stays
// inside the text and falls back as documented instead of failing. Positions
// below count hexadecimal characters from 1.
//
// Threads: a TSMS belongs to one thread at a time; received PDUs are decoded on
// the engine thread, and its "PDU ERROR" box reaches the main thread through
// platform::CurrentDialogs().

#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "sms/date_time.h"

namespace sms {

class TSMS {
 public:
  // Reads the PDU's layout. An unreadable field is reported in a message box
  // ("PDU ERROR (SMSCLen): ", "(PDUType)", "(SenderLen)" or "(TPDCS)" followed
  // by the PDU) and read as 0.
  void ParsePDU(std::string_view pdu);

  // Text of the message, line breaks as CR LF, limited to what Windows-1250
  // holds ("?" for the rest). "(Decoding Error)" when the user data cannot be
  // read; "(Uwaga: Nieznany schemat kodowania)" for the reserved alphabet.
  // Also sets UDL and UDH.
  std::u16string GetText();

  // "+" and digits for an international number, digits otherwise, or the
  // alphanumeric name; empty when the address cannot be read.
  platform::AnsiString GetSender() const;

  // Service centre timestamp (its time zone ignored); zero for a submit type
  // or an unreadable or impossible timestamp.
  DateTime GetTimeStamp() const;

  const std::string& PduText() const { return pduText_; }
  int SmscLen() const { return smscLen_; }          // SMSC information, in hexadecimal characters
  int TypePos() const { return typePos_; }          // first TPDU octet
  bool IsSubmit() const { return isSubmit_; }
  bool HasUDH() const { return hasUdh_; }
  int VpLen() const { return vpLen_; }              // validity period, in hexadecimal characters
  int AddrTypePos() const { return addrTypePos_; }  // type-of-address octet of the address
  int AddrDigits() const { return addrDigits_; }    // address characters (an even count)
  int Alphabet() const { return alphabet_; }        // 0 GSM 7-bit, 1 8-bit, 2 UCS-2, 3 reserved
  int UDL() const { return udl_; }
  const std::string& UDH() const { return udh_; }

 private:
  // The decoded text before line breaks are normalised; false when the user
  // data cannot be read.
  bool DecodeUserData(std::u16string& text);

  std::string pduText_;
  int smscLen_ = 0;
  int typePos_ = 3;
  bool isSubmit_ = false;
  bool hasUdh_ = false;
  int vpLen_ = 0;
  int addrTypePos_ = 7;
  int addrDigits_ = 0;
  int alphabet_ = 0;
  int udl_ = 0;
  std::string udh_;
};

// Concatenation values of a part: reference, total and sequence number, each
// -1 when the PDU has no concatenation header with an 8-bit reference.
struct UDHValues {
  int reference = -1;
  int total = -1;
  int sequence = -1;
  bool operator==(const UDHValues&) const = default;
};

UDHValues GetUDHValues(std::string_view pdu);

}  // namespace sms
