#pragma once
// The text decoder of received PDUs (SMS-DELIVER, and the SMS-SUBMIT shape a
// modem lists from its own store): text, originator, timestamp and the
// concatenation values of the user data header.
//
// A PDU arrives from the modem as hexadecimal text beginning with the SMSC
// information. It may be cut short, hold lower-case or non-hexadecimal
// characters, or announce lengths it does not have: every operation stays
// inside the text and falls back as documented instead of failing. Lower-case
// hexadecimal digits read like upper-case ones. Positions below count
// hexadecimal characters from 1.
//
// Threads: a TSMS belongs to one thread at a time; received PDUs are decoded on
// the engine thread. The decoder shows nothing: what it could not read is in
// Errors(), and its caller decides who is told ("PDU ERROR" box of the window).

#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "sms/concatenation.h"
#include "sms/data_coding.h"
#include "sms/date_time.h"

namespace sms {

class TSMS {
 public:
  // Reads the PDU's layout. An unreadable field is read as 0 and noted in
  // Errors() ("PDU ERROR (SMSCLen): ", "(PDUType)", "(SenderLen)" or
  // "(TPDCS)" followed by the PDU).
  void ParsePDU(std::string_view pdu);
  // What the last ParsePDU could not read, in order; empty when all was read.
  const std::vector<std::string>& Errors() const { return errors_; }

  // Text of the message, line breaks as CR LF, limited to what Windows-1250
  // holds ("?" for the rest), in the alphabet its data coding scheme names
  // (read by coding group, see data_coding.h). "" for empty user data (a
  // header flag without a header included); "(Decoding Error)" when the user
  // data cannot be read; "(Uwaga: Nieznany schemat kodowania)" for a reserved
  // alphabet or group and for compressed text. Also sets UDL and UDH.
  std::u16string GetText();

  // "+" and digits for an international number, digits otherwise, or the
  // alphanumeric name; empty when the address cannot be read.
  platform::AnsiString GetSender() const;

  // Service centre timestamp (its time zone ignored); zero for a submit type
  // or an unreadable or impossible timestamp.
  DateTime GetTimeStamp() const;

  const std::string& PduText() const { return pduText_; }  // as passed in
  int SmscLen() const { return smscLen_; }          // SMSC information, in hexadecimal characters
  int TypePos() const { return typePos_; }          // first TPDU octet
  bool IsSubmit() const { return isSubmit_; }
  bool HasUDH() const { return hasUdh_; }
  int VpLen() const { return vpLen_; }              // validity period, in hexadecimal characters
  int AddrTypePos() const { return addrTypePos_; }  // type-of-address octet of the address
  int AddrDigits() const { return addrDigits_; }    // address characters (an even count)
  int Alphabet() const { return coding_.alphabet; }  // 0 GSM 7-bit, 1 8-bit, 2 UCS-2, 3 unknown
  const DataCoding& Coding() const { return coding_; }
  int UDL() const { return udl_; }
  const std::string& UDH() const { return udh_; }

 private:
  // The decoded text before line breaks are normalised; false when the user
  // data cannot be read.
  bool DecodeUserData(std::u16string& text);

  std::string pduText_;
  std::string hex_;  // pduText_ with its hexadecimal digits in upper case
  int smscLen_ = 0;
  int typePos_ = 3;
  bool isSubmit_ = false;
  bool hasUdh_ = false;
  int vpLen_ = 0;
  int addrTypePos_ = 7;
  int addrDigits_ = 0;
  DataCoding coding_;
  int udl_ = 0;
  std::string udh_;
  std::vector<std::string> errors_;
};

// Concatenation values of a part: reference, total and sequence number from
// the concatenation element (8- or 16-bit reference) wherever it stands in
// the header; each -1 without one (see concatenation.h).
UDHValues GetUDHValues(std::string_view pdu);

}  // namespace sms
