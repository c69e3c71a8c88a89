#pragma once
// The event types of TZoGSM and the small types they carry. Every event is a
// std::function whose first parameter is the component that raised it; an
// empty one is skipped.
//
// Threads: every event is raised on the main thread (the engine's news
// reaches it through the hand-over), so handlers run there; only
// TOnAboutToSubmit runs on the engine's thread.

#include <functional>
#include <string>
#include <vector>

#include "modem/outgoing_message.h"

namespace modem {

class TZoGSM;

enum class TCallStatus { inCall = 0, outCall = 1, connectCall = 2, noCall = 3, connectedCall = 4 };

// Concatenation data of a received part, and the outcome of a status report.
struct TUDHinfo {
  int aRef = 0;
  int aTot = 0;
  int aNum = 0;
  int Delivered = 0;
  int Status = 0;
};

using TNotifyEvent = std::function<void(TZoGSM& Sender)>;
using TAfterComRx = std::function<void(TZoGSM& Sender, const std::vector<std::string>& RxLines)>;
using TOnNewSMS = std::function<void(TZoGSM& Sender, const std::string& PDU, const std::string& SMSText,
                                     const std::string& TelNr, const std::string& Recipient, bool IsUDH,
                                     TUDHinfo& UDHInfo, const std::string& SMSTimeStamp, bool StatusReport)>;
using TOnRing = std::function<void(TZoGSM& Sender, const std::string& NrTel)>;
// SendingStatus is 1 for a part the modem accepted, also when it named no
// message reference (SMSRef -1), and 0 for a part not sent.
using TAfterSendMessage =
    std::function<void(TZoGSM& Sender, std::string& SMSMessageMarker, const std::string& NrTel, int& SendingStatus,
                       const std::string& SMSText, int SMSRef, int SMSPartNr, int SMSTotal, bool WaitReport)>;
using TOnCheckSignalPower =
    std::function<void(TZoGSM& Sender, int Signal, bool AcPower, int BatteryStatus, const std::string& StringSignal)>;
using TOnGetModelGSM = std::function<void(TZoGSM& Sender, const std::string& Model, const std::string& IMEI,
                                          const std::string& Bios, int SIMCapacity, int PhoneCapacity)>;
using TOnSendProgress = std::function<void(TZoGSM& Sender, int QueueSMS)>;
using TOnSearchProgress = std::function<void(TZoGSM& Sender, int Progress, const std::string& Port, int Found)>;
using TOnSecretSMS = std::function<void(TZoGSM& Sender, const std::string& SMSText, const std::string& From)>;
using TOnNewQuestion = std::function<void(TZoGSM& Sender, const std::string& PromoQuestion,
                                          const std::string& SMSText, const std::string& Number)>;
using TOnCallBusy = std::function<void(TZoGSM& Sender, bool CallBusy, TCallStatus CallStatus)>;

// A text for the user that the application decides how to show: a misuse
// of the component (a refused setting, a request it cannot carry out) or a
// received PDU the decoder could not read ("PDU ERROR ...").
using TTextEvent = std::function<void(TZoGSM& Sender, const std::string& Text)>;

// Every part that leaves the send queue: sent, failed or refused.
using TOnPartReport = std::function<void(TZoGSM& Sender, const TPartReport& Report)>;
// The one exception to the rule above: called on the engine's thread right
// before a part is submitted (see TZoGSM::OnAboutToSubmit).
using TOnAboutToSubmit = std::function<bool(const TQueuedPart& Part)>;

}  // namespace modem
