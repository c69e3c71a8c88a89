#pragma once
// What the data coding scheme octet (TP-DCS) of a received message says
// about its user data, read by its coding group as 3GPP TS 23.038 defines
// them:
//   00xx xxxx  general data coding: bit 5 compressed, bit 4 "bits 1-0 are
//              the message class", bits 3-2 the alphabet (11 reserved)
//   01xx xxxx  the same, for a message marked for automatic deletion
//   1000-1011  reserved groups
//   1100       message waiting indication, discard the message: 7-bit
//   1101       message waiting indication, store the message: 7-bit
//   1110       message waiting indication, store the message: UCS-2
//              (in these three bit 3 says the indication is active)
//   1111       data coding and message class: bit 2 clear 7-bit, set
//              8-bit data; bits 1-0 the class
//
// Threads: pure functions, no shared state; safe from any thread.

namespace sms {

enum Alphabet : int {
  kAlphabet7Bit = 0,
  kAlphabet8Bit = 1,
  kAlphabetUcs2 = 2,
  kAlphabetUnknown = 3,  // a reserved alphabet or group, or compressed text
};

struct DataCoding {
  Alphabet alphabet = kAlphabet7Bit;
  int messageClass = -1;        // 0 to 3, -1 when the octet names none
  bool compressed = false;      // the text is compressed: it cannot be shown
  bool messageWaiting = false;  // a voicemail, fax, e-mail or other waiting indication
  bool indicationActive = false;
};

DataCoding ReadDataCoding(unsigned dcs);

}  // namespace sms
