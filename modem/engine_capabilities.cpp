// Capability probes, the initialisation commands and the commands queued
// after a connection.

#include <functional>
#include <vector>

#include "modem/engine_thread.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"

namespace modem {

void TZoGSMThread::PublishCapabilities() { sharedCapabilities_->Set(capabilities_); }

void TZoGSMThread::ResetCapabilityTable(bool autoModemInit) {
  ResetCapabilities(capabilities_, autoModemInit);
  PublishCapabilities();
}

void TZoGSMThread::ProbeCapabilities(std::string& lastLogged) {
  const bool disableAutoRxSMS = Settings().DisableAutoRxSMS;
  CapabilityTable& table = capabilities_;
  struct Probe {
    const char* command;
    const char* failureText;
    std::function<void(const std::string& response)> rule;
  };
  const std::vector<Probe> probes = {
      {"AT+CNMI=?", "AT+CNMI -----> NOT AVAILABLE!",
       [&](const std::string& response) {
         const std::string previousCommand = table.ATCNMI.Command;
         table.ATCNMI = TATCNMI{};
         table.ATCNMI.Command = previousCommand;
         if (std::optional<TATCNMI> record = IndicationCapability(response, disableAutoRxSMS)) table.ATCNMI = *record;
       }},
      {"AT+CMMS=?", "AT+CMMS -----> NOT AVAILABLE!",
       [&](const std::string& response) {
         table.ATCMMS.Mode = OneDigitMode(response, "+CMMS:");
         table.ATCMMS.Command = "AT+CMMS=" + table.ATCMMS.Mode;
         table.ATCMMS.Available = true;
       }},
      {"AT+CLIP=?", "AT+CLIP -----> NOT AVAILABLE!",
       [&](const std::string& response) {
         table.ATCLIP.Mode = OneDigitMode(response, "+CLIP:");
         table.ATCLIP.Command = "AT+CLIP=" + table.ATCLIP.Mode;
         table.ATCLIP.Available = true;
       }},
      {"AT+CIND?", "AT+CIND -----> NOT AVAILABLE!",
       [&](const std::string&) {
         table.ATCIND.Params = {};
         table.ATCIND.Command = "AT+CIND?";
         table.ATCIND.Available = true;
       }},
      {"AT+CMER=?", "AT+CMER -----> NOT AVAILABLE!",
       [&](const std::string&) {
         table.ATCMER.Params = {};
         table.ATCMER.Command = "AT+CMER=2,0,0,2";
         table.ATCMER.Available = true;
       }},
      {"AT+CBC=?", "AT+CBC -----> NOT AVAILABLE!",
       [&](const std::string&) {
         table.ATCBC.Command = "AT+CBC";
         table.ATCBC.Available = true;
       }},
      {"AT+CSQ=?", "AT+CSQ -----> NOT AVAILABLE!",
       [&](const std::string&) {
         table.ATCSQ.Command = "AT+CSQ";
         table.ATCSQ.Available = true;
       }},
      // The message format only has to be there; the engine always uses PDU mode.
      {"AT+CMGF=?", "myERR * AT+CMGF -----> NOT AVAILABLE!", [](const std::string&) {}},
  };
  for (const Probe& probe : probes) {
    const std::string response = SendSerialAT(probe.command, true);
    if (!Contains(response, "myERR")) {
      probe.rule(response);
      lastLogged = response;
    } else {
      lastLogged = probe.failureText;
    }
    PublishCapabilities();
    LogRx(lastLogged);
  }
}

void TZoGSMThread::SendAutomaticInitList() {
  const TZoGSMSettings settings = Settings();
  const CapabilityTable& table = capabilities_;
  std::vector<std::string> commands = {"AT", "AT&F", "ATZ", "ATE0", "AT+CMGF=0"};
  if (!settings.DisableIncomingSMS && table.ATCNMI.Available) commands.push_back(table.ATCNMI.Command);
  if (table.ATCLIP.Available) commands.push_back(table.ATCLIP.Command);
  if (table.ATCMER.Available && settings.EnableCIEV) commands.push_back(table.ATCMER.Command);
  // The first power and signal queries, sent by the loop once connected.
  if (table.ATCBC.Available) CommandQueue.Append(table.ATCBC.Command);
  if (table.ATCSQ.Available) CommandQueue.Append(table.ATCSQ.Command);
  for (const std::string& command : commands) {
    const std::string response = SendSerialAT(command, false);
    LogRx(command + response + "\r\n");
    if (!Contains(response, "OK")) QuietError("PROPERTY ERROR ---> " + command);
  }
}

void TZoGSMThread::SendInitStrings(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const AtAnswer answer = link_.ExchangeAT(line);
    LogRx(line + answer.response + "\r\n");
    if (!Contains(answer.response, "OK")) {
      QuietError("PROPERTY ERROR ---> " + line);
      continue;  // a command the modem refused is not used later
    }
    if (Contains(line, "AT+CMMS")) capabilities_.ATCMMS = {true, "AT+CMMS=1", capabilities_.ATCMMS.Mode};
    if (Contains(line, "AT+CSQ")) capabilities_.ATCSQ = {true, "AT+CSQ"};
    if (Contains(line, "AT+CBC")) capabilities_.ATCBC = {true, "AT+CBC"};
  }
  PublishCapabilities();
  if (capabilities_.ATCBC.Available) CommandQueue.Append(capabilities_.ATCBC.Command);
  if (capabilities_.ATCSQ.Available) CommandQueue.Append(capabilities_.ATCSQ.Command);
}

void TZoGSMThread::QueueFollowUpCommands() {
  const TZoGSMSettings settings = Settings();
  if (!settings.GetUnreaded) return;
  // Unread stored messages of both storages; their answers are tolerated.
  constexpr std::intptr_t kTolerated = 1;
  CommandQueue.Insert(0, "AT+CMGL=0", kTolerated);
  CommandQueue.Insert(0, "AT+CPMS=\"ME\"", kTolerated);
  CommandQueue.Insert(0, "AT+CMGL=0", kTolerated);
  CommandQueue.Insert(0, "AT+CPMS=\"SM\"", kTolerated);
  if (settings.CheckPwrSig) {
    if (settings.CanCheckPower && capabilities_.ATCBC.Available) CommandQueue.Insert(0, capabilities_.ATCBC.Command);
    if (settings.CanCheckSignal && capabilities_.ATCSQ.Available) CommandQueue.Insert(0, capabilities_.ATCSQ.Command);
  }
}

}  // namespace modem
