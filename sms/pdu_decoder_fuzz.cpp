// Feeds arbitrary text to every decoder of received PDUs. A modem's PDU may
// be cut short, hold lower-case or foreign characters, or announce lengths it
// does not have; the decoders must stay inside it and fall back.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/recording_dialogs.h"
#include "sms/concatenation.h"
#include "sms/hex_text.h"
#include "sms/pdu_bytes.h"
#include "sms/sms_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::RecordingDialogs dialogs;  // no box may hold the run up
  platform::InstallDialogs(&dialogs);
  const std::string_view pdu(reinterpret_cast<const char*>(data), size);

  sms::TSMS decoder;
  decoder.ParsePDU(pdu);
  decoder.GetText();
  decoder.GetSender();
  decoder.GetTimeStamp();
  sms::GetUDHValues(pdu);
  sms::ReadConcatenation(sms::UpperCaseHex(pdu));  // the input as a header of its own
  sms::DecodeBytes(true, pdu);
  sms::DecodeBytes(false, pdu);

  dialogs.Clear();
  return 0;
}
