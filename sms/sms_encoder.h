#pragma once
// The SMS-SUBMIT encoder (3GPP TS 23.040) for PDU mode ("AT+CMGF=0"): the
// SMSC octet "00" (use the centre stored in the modem) followed by the TPDU,
// as uppercase hexadecimal text. One short-lived TSMSD encodes one part.
//
// Threads: a TSMSD belongs to the thread that made it (the component's
// splitter, on the main thread); no shared state.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sms {

// Raised when a part cannot be encoded; the message reads
// "Error encoding PDU: " followed by the cause.
class EncodeError : public std::runtime_error {
 public:
  explicit EncodeError(const std::string& cause);
};

// Data coding of the user data. Automatic coding chooses 7 bits or UCS-2;
// 8-bit data is sent only when asked for.
enum Coding : std::uint8_t { kCoding7Bit = 0, kCoding8Bit = 1, kCodingUcs2 = 2, kCodingAutomatic = 3 };

// Common base of the PDU coders; it has no behaviour of its own.
class TSMSDecoder {
 public:
  virtual ~TSMSDecoder() = default;
};

class TSMSD : public TSMSDecoder {
 public:
  // Destination; a leading "+" marks an international number. Every other
  // character is taken as a digit.
  const std::string& Number() const { return number_; }
  void SetNumber(std::string number) { number_ = std::move(number); }

  // Assigning the text selects automatic coding.
  const std::u16string& Text() const { return text_; }
  void SetText(std::u16string text);

  std::uint8_t Coding() const { return coding_; }
  void SetCoding(std::uint8_t coding) { coding_ = coding; }

  // Complete user data header in hexadecimal, its length octet first; empty
  // for none. HasUDH follows it.
  const std::string& UDH() const { return udh_; }
  void SetUDH(std::string udh);
  bool HasUDH() const { return hasUdh_; }

  bool Flash() const { return flash_; }  // class 0
  void SetFlash(bool flash) { flash_ = flash; }
  bool StatusRequest() const { return statusRequest_; }  // TP-SRR
  void SetStatusRequest(bool statusRequest) { statusRequest_ = statusRequest; }

  // Outputs of the last EncodePDU: octets of the TPDU (without the SMSC
  // octet) and of its user data, header included.
  int TPDULength() const { return tpduLength_; }
  int UserDataLength() const { return userDataLength_; }

  // The PDU: "00" and the TPDU. Throws EncodeError.
  std::string EncodePDU();

 private:
  std::string number_;
  std::u16string text_;
  std::uint8_t coding_ = kCodingAutomatic;
  std::string udh_;
  bool hasUdh_ = false;
  bool flash_ = false;
  bool statusRequest_ = false;
  int tpduLength_ = 0;
  int userDataLength_ = 0;
};

struct EncodedPart {
  int tpduLength = 0;      // the number written after "AT+CMGS="
  std::string pdu;
  int userDataLength = 0;  // octets of the user data, header included
};

// Encodes one message part: `partText` is the program's Windows-1250 text,
// `udh` the header (may be empty). The part goes out in 7 bits when the GSM
// alphabet holds all of it, else (or when `forceUcs2`) in UCS-2. Throws
// EncodeError.
EncodedPart EncodePart(std::string_view number, std::string_view partText, std::string_view udh, bool flash,
                       bool forceUcs2, bool statusReport);

}  // namespace sms
