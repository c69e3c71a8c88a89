// `talvane-cli campaign`: the window's send campaign without a display. The
// numbers come from a spreadsheet (imported as the window imports them) or
// from the command line; the text is sent to every number through the modem
// component on PORT by the same campaign module the window runs. Standard
// output: one JSON line per completed message, then a closing line; the
// progress and the activity log go to standard error. Ctrl-C (SIGINT,
// SIGTERM) stops the campaign as "Zatrzymaj" does: the results so far are in
// the result workbook, the exit status is 130. Otherwise the status is 0 only
// when every number got its message.

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>

#include "app/campaign.h"
#include "app/cli/command.h"
#include "app/cli/console_modem.h"
#include "app/cli/json_text.h"
#include "app/cli/options.h"
#include "app/memory_view.h"
#include "app/message_composer.h"
#include "app/modem_boxes.h"
#include "app/phone_import.h"
#include "modem/instance_settings.h"
#include "platform/read_file.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/headless_main_loop.h"
#include "platform/user_dirs.h"
#include "xls/result_codes.h"

namespace cli {
namespace {

constexpr char kUsage[] =
    "campaign --port PORT [--keep-duplicates] [--text-file F] [--result OUT.xls] FILE|--numbers N,N,... TEXT";

struct CampaignOptions {
  std::string port;
  bool keepDuplicates = false;
  std::string textFile;
  std::optional<std::string> numbers;  // "N,N,..."
  std::string resultFile;
  std::optional<std::string> inputFile;
  std::string text;  // UTF-8
};

// Reads the arguments into `options`; the exit status when the command ends here.
std::optional<int> ParseOptions(const std::vector<std::string>& args, CampaignOptions& options) {
  OptionParser parser(kUsage, "Sends one text to every number, as the window's campaign does.");
  parser.Text("--port PORT", options.port, "the modem's serial port", Presence::Required);
  parser.Flag("--keep-duplicates", options.keepDuplicates, "send to a number as often as it is listed");
  parser.Text("--text-file F", options.textFile, "the text from this file (UTF-8) instead of TEXT");
  parser.Text("--numbers N,N,...", options.numbers, "national numbers of nine digits instead of FILE");
  parser.Text("--result OUT.xls", options.resultFile,
              "the result workbook of --numbers (manual_out.xls in the documents folder when not given)");
  std::vector<std::string> words;
  parser.Rest("FILE|TEXT", words, "the spreadsheet of numbers unless --numbers; the text (UTF-8) unless --text-file");
  if (const std::optional<int> status = parser.Parse(args)) return status;

  const bool wantFile = !options.numbers;
  const bool wantText = options.textFile.empty();
  if (words.size() != static_cast<size_t>(wantFile) + static_cast<size_t>(wantText)) {
    std::string wanted = wantFile ? "FILE (or --numbers)" : "";
    if (wantText) wanted += std::string(wanted.empty() ? "" : " and ") + "TEXT (or --text-file)";
    return parser.UsageError(wanted.empty() ? "no FILE or TEXT with --numbers and --text-file"
                                            : wanted + " expected, nothing more");
  }
  if (wantFile) options.inputFile = words.front();
  if (wantText) options.text = words.back();
  return std::nullopt;
}

std::string Json(const app::AnsiString& ansi) { return JsonString(platform::AnsiToUtf8(ansi)); }

template <typename List, typename Format>
std::string JsonList(const List& items, Format format) {
  std::string out = "[";
  for (const auto& item : items) out += (out.size() > 1 ? "," : "") + format(item);
  return out + "]";
}

// The campaign on the console: JSON lines on stdout, progress and log on stderr.
class ConsoleCampaignScreen final : public app::TCampaignScreen {
 public:
  void EmptyText() override { std::cerr << "talvane-cli campaign: the message text is empty\n"; }
  void Started(int numbers) override {
    total_ = numbers;
    ShowProgress();
  }
  void Stepped(int, int) override {}
  void NumberTaken(const std::string&) override {}
  void SendingTo(const std::string&) override {}
  void LogLine(const app::AnsiString& line) override { Log(platform::AnsiToUtf8(line)); }
  void MessageCompleted(const app::TMessageResult& result, int completed) override {
    std::cout << "{\"number\":" << Json(result.number) << ",\"status\":\"" << (result.sent ? "sent" : "failed")
              << "\",\"parts\":" << result.parts << ",\"failed_parts\":" << result.failedParts.size()
              << ",\"refs\":" << JsonList(result.references, [](int r) { return std::to_string(r); }) << "}"
              << std::endl;
    (result.sent ? sent_ : failed_) += 1;
    done_ = completed;
    ShowProgress();
  }
  void Finished() override {}
  bool ConfirmStop() override { return true; }  // Ctrl-C is the user's answer
  void Stopped() override {}

  void Log(const std::string& utf8) {
    const bool redraw = barShown_;
    EndProgressLine();
    std::cerr << utf8 << std::endl;
    if (redraw) ShowProgress();
  }
  void EndProgressLine() {
    if (barShown_) std::cerr << "\n";
    barShown_ = false;
  }
  int Sent() const { return sent_; }
  int Failed() const { return failed_; }

 private:
  void ShowProgress() {
    if (!::isatty(STDERR_FILENO)) {
      std::cerr << "sent " << done_ << " of " << total_ << std::endl;
      return;
    }
    constexpr int kWidth = 30;
    const int filled = total_ > 0 ? done_ * kWidth / total_ : 0;
    std::cerr << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] " << done_ << "/"
              << total_ << std::flush;
    barShown_ = true;
  }

  int total_ = 0;
  int done_ = 0;
  int sent_ = 0;
  int failed_ = 0;
  bool barShown_ = false;
};

// The numbers of --numbers into the list and the result workbook, as a
// manual entry and an import leave them: one row per number, no fill.
bool TakeNumbers(const std::string& list, bool excludeDuplicates, app::TNumberList& numbers,
                 app::TResultWorkbook& results, std::string& error) {
  numbers.SetExcludeDuplicates(excludeDuplicates);
  std::stringstream in(list);
  if (list.find_first_not_of(", ") == std::string::npos) {
    error = "--numbers lists no number";
    return false;
  }
  for (std::string entry; std::getline(in, entry, ',');) {
    const size_t first = entry.find_first_not_of(' ');
    const size_t last = entry.find_last_not_of(' ');
    entry = first == std::string::npos ? std::string() : entry.substr(first, last - first + 1);
    const app::AnsiString number = platform::Utf8ToAnsi(entry);
    if (entry.empty()) {
      error = "--numbers has an empty place between two commas";
      return false;
    }
    if (number.size() != 9) {
      error = "'" + entry + "': a number has nine characters (national number without +48)";
      return false;
    }
    numbers.Add(number);
  }
  if (numbers.Empty()) {
    error = "--numbers holds no number";
    return false;
  }
  results.Create();
  for (int i = 0; i < numbers.Count(); ++i) results.WriteNumberRow(i + 1, numbers[i]);
  results.SetNextRow(1);
  return true;
}

// The numbers of a spreadsheet, imported as the window's "Otwórz plik XLS"
// imports them: the sheet is marked and written back, the result workbook
// saved as its "_out" file; the import's log goes to stderr.
bool ImportNumbers(const std::string& file, bool excludeDuplicates, app::TNumberList& numbers,
                   app::TResultWorkbook& results, std::string& resultPath, std::string& error) {
  app::MemoryMainView view;
  app::MemoryTelListView telView;
  app::TfrmTelList telList(telView.View());
  std::string inputPath;
  app::TPhoneImport import({view.View(), telList, numbers, results, inputPath, resultPath, nullptr});
  import.ResetCounters();
  std::error_code ec;
  const app::TImportResult outcome = import.Run(std::filesystem::absolute(file, ec).string(), excludeDuplicates);
  // The import's log, but for its error: that is the command's own last word.
  for (int i = 0; i < view.LogMemo.LineCount(); ++i) {
    if (outcome.imported || view.LogMemo.Line(i) != outcome.error) {
      std::cerr << platform::AnsiToUtf8(view.LogMemo.Line(i)) << "\n";
    }
  }
  if (!outcome.imported) {
    // The import's reason names the file ("Nie można wczytać pliku ...").
    error = outcome.error.empty() ? "cannot import " + file : platform::AnsiToUtf8(outcome.error);
    return false;
  }
  if (numbers.Empty()) {
    error = file + " holds no number to send";
    return false;
  }
  return true;
}

std::optional<std::string> ReadText(const CampaignOptions& options, std::string& error) {
  if (options.textFile.empty()) return options.text;
  std::string readError;
  std::optional<std::string> text = platform::ReadWholeFile(options.textFile, &readError);
  if (!text) error = options.textFile + ": " + (readError.empty() ? "no such file" : readError);
  return text;
}

int Fail(const std::string& message, int status) {
  std::cerr << "talvane-cli campaign: " << message << "\n";
  if (status == 2) std::cerr << "usage: talvane-cli " << kUsage << "\n";
  return status;
}

// What the console waits for while the campaign runs.
struct Watch {
  bool connectedOnce = false;
  bool noConnection = false;  // the first connection attempt failed
};

void BindModem(modem::TZoGSM& gsm, app::TCampaign& campaign, ConsoleCampaignScreen& screen, Watch& watch) {
  gsm.OnConnecting = [&screen](modem::TZoGSM& sender) {
    screen.Log("Próba nawiązania połączenia z modemem GSM - Port " + sender.ComPort());
  };
  gsm.OnConnected = [&screen, &watch](modem::TZoGSM& sender) {
    watch.connectedOnce = true;
    screen.Log("Nawiązano połączenie modemem GSM - Port " + sender.ComPort());
  };
  gsm.OnDisconnected = [&screen, &watch](modem::TZoGSM&) {
    if (!watch.connectedOnce) watch.noConnection = true;
    screen.Log("Modem GSM odłączony");
  };
  gsm.OnQuietError = [](modem::TZoGSM&) {};
  gsm.OnAfterComRx = [](modem::TZoGSM&, const std::vector<std::string>&) {};
  gsm.OnAfterSend = [&campaign](modem::TZoGSM& sender, std::string&, const std::string& nrTel, int& status,
                                const std::string&, int ref, int partNr, int total, bool) {
    campaign.AfterSend(sender, nrTel, status, ref, partNr, total);
  };
}

int RunCampaign(const std::vector<std::string>& args) {
  const auto started = std::chrono::steady_clock::now();
  CampaignOptions parsed;
  if (const std::optional<int> status = ParseOptions(args, parsed)) return *status;
  const CampaignOptions* options = &parsed;
  std::string error;
  const std::optional<std::string> text = ReadText(*options, error);
  if (!text) return Fail(error, 2);
  const app::AnsiString campaignText = app::CampaignTextOf(platform::Utf8ToAnsi(*text));
  if (campaignText.empty()) return Fail("the message text is empty", 2);

  app::TNumberList numbers;
  app::TResultWorkbook results;
  std::string resultPath;
  if (options->inputFile) {
    if (!options->resultFile.empty()) return Fail("--result goes with --numbers: FILE's result is FILE_out", 2);
    if (!PortOpens(options->port, "campaign")) return 1;
    if (!ImportNumbers(*options->inputFile, !options->keepDuplicates, numbers, results, resultPath, error)) {
      return Fail(error, 1);
    }
  } else {
    if (!TakeNumbers(*options->numbers, !options->keepDuplicates, numbers, results, error)) return Fail(error, 2);
    // Where the window keeps the result of typed numbers, unless told otherwise.
    std::error_code ec;
    resultPath = options->resultFile.empty() ? (platform::DocumentsDirectory() / "manual_out.xls").string()
                                             : std::filesystem::absolute(options->resultFile, ec).string();
    if (ec) return Fail("cannot place the result workbook " + options->resultFile + ": " + ec.message(), 1);
    if (!PortOpens(options->port, "campaign")) return 1;
    if (const int saved = results.SaveAs(resultPath); saved != xls::kSaveOk) {
      return Fail("cannot write the result workbook " + resultPath + ": " + xls::SaveResultReason(saved, resultPath),
                  1);
    }
  }

  CatchInterrupts();
  ConsoleDialogs dialogs("campaign");
  platform::HeadlessMainLoop loop;
  platform::InstallDialogs(&dialogs, &loop);
  ConsoleCampaignScreen screen;
  Watch watch;
  bool stopped = false;
  std::vector<std::string> notSent;
  {
    modem::TZoGSM gsm(loop);
    app::ShowModemMessagesInBoxes(gsm);
    modem::ApplyWorkingInstanceSettings(gsm);
    gsm.SetComPort(options->port);
    std::unique_ptr<platform::Timer> timer1 = loop.CreateTimer();
    timer1->SetInterval(500);
    app::TCampaign campaign({&gsm}, *timer1, numbers, results, resultPath, [&] { return campaignText; }, screen);
    timer1->OnTimer = [&campaign] { campaign.Step(); };
    BindModem(gsm, campaign, screen, watch);

    if (!campaign.Start()) {
      platform::InstallDialogs(nullptr);
      return 2;
    }
    loop.RunUntil([&] { return Interrupted() || watch.noConnection || campaign.Finished(); },
                  std::chrono::hours(24 * 365));
    for (const std::string& destination : campaign.MessagesInFlight()) notSent.push_back(destination.substr(3));
    for (const std::string& number : numbers.Numbers()) notSent.push_back(number);
    if (!campaign.Finished()) {
      stopped = Interrupted();
      campaign.Stop(/*askFirst=*/false);
    }
    if (gsm.Connected()) {
      gsm.SetConnected(false);
      loop.RunUntil([&] { return !gsm.Connected(); }, std::chrono::seconds(10));
    }
    gsm.SetActive(false);
    results.SaveAs(resultPath);  // as the window does when it closes
  }
  platform::InstallDialogs(nullptr);
  screen.EndProgressLine();
  if (watch.noConnection) std::cerr << "talvane-cli campaign: no connection with a modem on " << options->port << "\n";

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  char secondsText[32];
  std::snprintf(secondsText, sizeof secondsText, "%.1f", seconds);
  std::cout << "{\"sent\":" << screen.Sent() << ",\"failed\":" << screen.Failed()
            << ",\"not_sent\":" << JsonList(notSent, [](const std::string& n) { return Json(n); })
            << ",\"result_file\":" << JsonString(resultPath) << ",\"seconds\":" << secondsText << "}" << std::endl;
  if (stopped) return 130;
  return screen.Failed() == 0 && notSent.empty() && !watch.noConnection ? 0 : 1;
}

const CommandRegistration registration({"campaign", kUsage, RunCampaign});

}  // namespace
}  // namespace cli
