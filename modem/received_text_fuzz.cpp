// The analysis of received text on arbitrary bytes, as idle text and as the
// answer of a storage listing or a read: it must never crash, hang or read
// past its input, whatever the modem sends. The first byte picks the
// settings the analysis reads.

#include <cstddef>
#include <cstdint>
#include <string>

#include "modem/engine_probe.h"
#include "modem/pdu_line.h"
#include "modem/received_text.h"
#include "platform/recording_dialogs.h"

namespace {

const std::vector<std::string> kTable = {"Sales", "Support", ""};
const std::vector<std::string> kGroups = {"Team"};

void ReadPieces(const std::string& text) {
  modem::IndicationIndex(text);
  modem::CallerNumber(text, "+48");
  modem::ReadTextPrefix(text);
  modem::PrefixReference(text, 3);
  modem::ExtractRecipient(text, {'=', '.', &kTable, &kGroups});
  modem::MatchingQuestion(text, kTable);
  modem::ReadIndicators(text, true);
  modem::PduLineFault(text, static_cast<int>(text.size() % 40));
  modem::AnnouncedPduLength(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::RecordingDialogs dialogs;  // no box may hold the run up
  platform::InstallDialogs(&dialogs);
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  ReadPieces(text);

  // One engine for every run (building a component is slow); its queue starts
  // empty each time, its other state stays as a long-running engine's would.
  static modem::DetachedEngine probe;
  probe.Engine().CommandQueue.Clear();
  probe.Engine().RxLines.Clear();
  modem::TZoGSM& gsm = probe.gsm;
  gsm.SetDisableIncomingSMS(flags & 1);
  gsm.SetDeleteSMSafterRead(flags & 2);
  gsm.SetHangUpVoiceConnection(flags & 4);
  gsm.SetHangUpSignalCount((flags >> 3) & 3);
  gsm.SetSendOneSignal(flags & 32);
  gsm.SetRecipientsTable(kTable);
  gsm.SetRecipientsGroups(kGroups);
  gsm.SetPromoQuestions({"QUIZ"});
  const char* commands[] = {"AT+CMGL=0", "AT+CMGR=3", "AT+CSQ", "AT"};
  const std::string command = commands[(flags >> 6) & 3];
  probe.Engine().CommandQueue.Append(command);
  probe.Idle(text);
  probe.Answer(command, text);
  dialogs.Clear();
  return 0;
}
