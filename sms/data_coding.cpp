#include "sms/data_coding.h"

namespace sms {
namespace {

DataCoding GeneralDataCoding(unsigned dcs) {
  DataCoding coding;
  coding.compressed = (dcs & 0x20) != 0;
  if (dcs & 0x10) coding.messageClass = static_cast<int>(dcs & 3);
  // There is no decompressor: a compressed text is an unknown scheme.
  coding.alphabet = coding.compressed ? kAlphabetUnknown : static_cast<Alphabet>((dcs >> 2) & 3);
  return coding;
}

DataCoding MessageWaitingCoding(unsigned dcs, Alphabet alphabet) {
  DataCoding coding;
  coding.alphabet = alphabet;
  coding.messageWaiting = true;
  coding.indicationActive = (dcs & 0x08) != 0;
  return coding;
}

}  // namespace

DataCoding ReadDataCoding(unsigned dcs) {
  dcs &= 0xFF;
  switch (dcs >> 4) {
    case 0x0: case 0x1: case 0x2: case 0x3:
    case 0x4: case 0x5: case 0x6: case 0x7:
      return GeneralDataCoding(dcs);
    case 0xC: case 0xD:
      return MessageWaitingCoding(dcs, kAlphabet7Bit);
    case 0xE:
      return MessageWaitingCoding(dcs, kAlphabetUcs2);
    case 0xF: {
      DataCoding coding;
      coding.alphabet = (dcs & 0x04) ? kAlphabet8Bit : kAlphabet7Bit;
      coding.messageClass = static_cast<int>(dcs & 3);
      return coding;
    }
    default:  // 0x8 to 0xB: reserved coding groups
      return DataCoding{kAlphabetUnknown};
  }
}

}  // namespace sms
