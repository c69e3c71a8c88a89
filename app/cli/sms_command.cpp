// talvane-cli sms: sends one text to one number through the modem component
// with the settings of the program's working instance, prints what became of
// every part, and disconnects once every part has been reported.

#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/console_modem.h"
#include "app/cli/options.h"
#include "app/cli/typed_number.h"
#include "modem/zogsm_settings.h"
#include "platform/codepage.h"

namespace cli {
namespace {

constexpr char kUsage[] =
    "sms --port PORT [--merge N] [--flash] [--report] [--ucs2] [--timeout SECONDS] NUMBER TEXT";

struct SmsOptions {
  std::string port;
  std::optional<int> mergeMax;  // the working instance's SMSMergeMax when not given
  bool flash = false;
  bool report = false;
  bool ucs2 = false;
  int timeoutSeconds = 600;
  std::string number;     // as typed: the message's marker
  std::string recipient;  // the number in international form
  std::string text;       // UTF-8
};

// Reads the arguments into `options`; the exit status when the command ends here.
std::optional<int> ParseOptions(const std::vector<std::string>& args, SmsOptions& options) {
  OptionParser parser(kUsage, "Sends one text to one number and reports what became of every part.");
  parser.Text("--port PORT", options.port, "the modem's serial port", Presence::Required);
  parser.Number("--merge N", options.mergeMax, {.max = 255},
                "parts a long text may take (the working instance's setting when not given)");
  parser.Flag("--flash", options.flash, "a flash message, shown at once and not stored");
  parser.Flag("--report", options.report, "ask for a delivery report");
  parser.Flag("--ucs2", options.ucs2, "keep Polish and other special characters (sent as UCS-2)");
  parser.Number("--timeout SECONDS", options.timeoutSeconds, {.min = 1},
                "give up after this long (600 when not given)");
  parser.Positional("NUMBER", options.number, "the recipient's number");
  parser.Positional("TEXT", options.text, "the text (UTF-8)");
  if (const std::optional<int> status = parser.Parse(args)) return status;
  options.recipient = options.number;
  if (!AcceptTypedNumber(options.recipient, "sms", modem::TZoGSMSettings{}.PrefixForCountry)) return 2;
  return std::nullopt;
}

// "2, 3" for the parts from 1 to `total` that have no report.
std::string Missing(const std::set<int>& reported, int total) {
  std::string list;
  for (int part = 1; part <= total; ++part) {
    if (reported.count(part) == 0) list += (list.empty() ? "" : ", ") + std::to_string(part);
  }
  return list;
}

// What happened to the request while the session ran.
struct Progress {
  bool connected = false;
  int queued = 0;             // SendSMS's result, once called
  bool requested = false;
  std::set<int> reported;
  int sent = 0;               // parts reported with SendingStatus 1

  bool Finished() const { return requested && (queued <= 0 || Reported() >= queued); }
  int Reported() const { return static_cast<int>(reported.size()); }
};

void BindEvents(modem::TZoGSM& gsm, platform::HeadlessMainLoop& loop, const SmsOptions& options,
                Progress& progress) {
  using modem::TZoGSM;
  if (options.mergeMax) gsm.SetSMSMergeMax(*options.mergeMax);
  gsm.SetSMSFlash(options.flash);
  gsm.SetSMSReport(options.report);
  gsm.SetSpecialSymbols(options.ucs2);
  // The number is already in international form (AcceptTypedNumber): the
  // component's own rule would put the country prefix before a foreign one.
  gsm.SetCheckNumberSyntax(false);

  gsm.OnConnecting = [](TZoGSM&) { PrintEvent("OnConnecting"); };
  gsm.OnDisconnected = [](TZoGSM&) { PrintEvent("OnDisconnected"); };
  gsm.OnQuietError = [](TZoGSM& sender) { PrintEvent("OnQuietError", sender.ErrorText()); };
  gsm.OnAfterSend = [&progress](TZoGSM&, std::string& marker, const std::string& nrTel, int& status,
                                const std::string& text, int ref, int partNr, int total, bool) {
    PrintEvent("OnAfterSend", marker, nrTel, status, ref, std::to_string(partNr) + "/" + std::to_string(total), text);
    progress.reported.insert(partNr);
    if (status == 1) ++progress.sent;
  };
  gsm.OnConnected = [&progress, &options, mainLoop = &loop](TZoGSM& sender) {
    PrintEvent("OnConnected");
    if (progress.connected) return;  // reconnected: the parts are still queued
    progress.connected = true;
    mainLoop->Post([&progress, &options, &sender] {
      sender.SetSMSMessageMarker(options.number);
      sender.SetSMSNumber(options.recipient);
      sender.SetSMSText(platform::Utf8ToAnsi(options.text));
      progress.queued = sender.SendSMS();
      progress.requested = true;
      if (progress.queued > 0) {
        Print("queued " + std::to_string(progress.queued) + (progress.queued == 1 ? " part" : " parts") +
              " for " + Value(sender.SMSNumber()));
      }
    });
  };
}

int RunSms(const std::vector<std::string>& args) {
  SmsOptions options;
  if (const std::optional<int> status = ParseOptions(args, options)) return *status;
  Progress progress;
  const ModemSession session{
      .command = "sms",
      .port = options.port,
      .limit = std::chrono::seconds(options.timeoutSeconds),
      .setUp = [&](modem::TZoGSM& gsm, platform::HeadlessMainLoop& loop) { BindEvents(gsm, loop, options, progress); },
      .done = [&progress] { return progress.Finished(); },
  };
  const SessionEnd end = RunModemSession(session);
  if (end == SessionEnd::NoConnection) return 1;  // said why
  if (progress.requested && progress.queued <= 0) return 1;  // the component has said why
  // A part whose answer never came is reported (uncertain) when the session
  // ends during the network's wait: then nothing is missing.
  if (end != SessionEnd::Done && !progress.Finished()) {
    const std::string why = end == SessionEnd::Interrupted
                                ? "interrupted"
                                : "gave up after " + std::to_string(options.timeoutSeconds) + " s";
    if (!progress.requested) {
      std::cerr << "talvane-cli sms: " << why << " before the text was queued\n";
    } else {
      const std::string missing = Missing(progress.reported, progress.queued);
      std::cerr << "talvane-cli sms: " << why << "; no report for part"
                << (missing.find(',') == std::string::npos ? " " : "s ") << missing << " of " << progress.queued
                << "\n";
    }
    return 1;
  }
  if (progress.sent < progress.queued) {
    std::cerr << "talvane-cli sms: " << progress.queued - progress.sent << " of " << progress.queued
              << " parts not sent\n";
    return 1;
  }
  return 0;
}

const CommandRegistration registration({"sms", kUsage, RunSms});

}  // namespace
}  // namespace cli
