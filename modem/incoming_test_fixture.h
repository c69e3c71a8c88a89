#pragma once
// The component against the simulated modem with incoming messages enabled,
// every received message, ring and call state recorded with its arguments.

#include <string>
#include <vector>

#include "modem/engine_test_fixture.h"
#include "modem/gammu_deliver.h"
#include "platform/clock.h"

namespace modem {

struct NewSms {
  std::string event;  // OnNewSMS, OnNewQuestion or OnSecretSMS
  std::string pdu, text, telNr, recipient, question;
  bool isUdh = false;
  TUDHinfo info;
  std::string timeStamp;
  bool statusReport = false;
};

class IncomingTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    gsm.SetDisableIncomingSMS(false);
    // No polls of their own: every command the modem gets comes from the
    // connection or from what it says.
    gsm.SetCheckPwrSig(false);
    RecordIncoming();
  }

  void RecordIncoming() {
    gsm.OnNewSMS = [this](TZoGSM&, const std::string& pdu, const std::string& text, const std::string& telNr,
                          const std::string& recipient, bool isUdh, TUDHinfo& info, const std::string& stamp,
                          bool report) {
      messages.push_back({"OnNewSMS", pdu, text, telNr, recipient, "", isUdh, info, stamp, report});
      events.push_back({"OnNewSMS", text});
    };
    gsm.OnNewQuestion = [this](TZoGSM&, const std::string& question, const std::string& text,
                               const std::string& number) {
      NewSms sms;
      sms.event = "OnNewQuestion";
      sms.question = question;
      sms.text = text;
      sms.telNr = number;
      messages.push_back(sms);
      events.push_back({"OnNewQuestion", text});
    };
    gsm.OnSecretSMS = [this](TZoGSM&, const std::string& text, const std::string& from) {
      NewSms sms;
      sms.event = "OnSecretSMS";
      sms.text = text;
      sms.telNr = from;
      messages.push_back(sms);
      events.push_back({"OnSecretSMS", text});
    };
    gsm.OnRing = [this](TZoGSM&, const std::string& number) { events.push_back({"OnRing", number}); };
    gsm.OnCallBusy = [this](TZoGSM&, bool busy, TCallStatus status) {
      events.push_back({"OnCallBusy", std::string(busy ? "true " : "false ") + std::to_string(int(status))});
    };
    gsm.OnSMSMemoryFull = [this](TZoGSM&) { events.push_back({"OnSMSMemoryFull", ""}); };
  }

  // Waits until `count` messages (of any of the three events) have arrived.
  bool WaitForMessages(size_t count) {
    return WaitFor([&] { return messages.size() >= count; });
  }

  // How many events of this name were recorded.
  int Count(const std::string& name) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [&](const RecordedEvent& e) { return e.name == name; }));
  }

  // The commands the modem received from the `from`-th on.
  std::vector<std::string> CommandsFrom(size_t from) const {
    const std::vector<std::string> all = sim.Commands();
    return from < all.size() ? std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end())
                             : std::vector<std::string>{};
  }

  // Gives the engine time to act on something it should ignore: a command
  // sent through the queue after it has been answered.
  bool Settle() {
    gsm.SetATCommand("AT+CGMI");
    return WaitForReport("AT+CGMI", static_cast<int>(events.size()));
  }

  // Connects and sends "Report me" to +48600100200 with a status report
  // wanted, under the message reference `reference`; true once it is sent.
  bool SendWantingAReport(int reference) {
    sim.WithModem([reference](modemsim::AtInterpreter& m) { m.SetNextReference(reference); });
    if (!ConnectAndSettle()) return false;
    gsm.SetSMSReport(true);
    gsm.SetSMSNumber("+48600100200");
    gsm.SetSMSText("Report me");
    return gsm.SendSMS() == 1 && WaitForEvent("OnAfterSend");
  }

  // The time stamp of every message gammu makes, as the application sees it.
  static std::string GammuTimeStamp() { return platform::FormatDateTime(platform::CalendarTime{2024, 3, 5, 14, 7, 9}); }

  std::vector<NewSms> messages;
};

using Texts = std::vector<std::string>;

}  // namespace modem
