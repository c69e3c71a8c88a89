// `talvane-cli campaign`: the window's send campaign without a display. The
// numbers come from a spreadsheet (imported as the window imports them) or
// from the command line; the text is sent to every number through one modem
// component per PORT by the same campaign module the window runs. Standard
// output: one JSON line per completed message, then a closing line; the
// progress and the activity log go to standard error. Ctrl-C (SIGINT,
// SIGTERM) lets the messages in hand complete, then stops the campaign as
// "Zatrzymaj" does: the results so far are in the result workbook, the exit
// status is 130. A campaign left without a modem for the no-modem limit of
// the settings store stops itself (status 1). Otherwise the status is 0 only
// when every number got its message. A message whose answer was lost is
// "uncertain": never sent again unless the operator says so.
//
// `--resume [ID]` continues a campaign of the journal (the last unfinished
// one without ID) with its own text, numbers left and result workbook. A new
// campaign leaves out the numbers an earlier campaign of the same text had
// texted (within a week, or still unfinished) unless `--again`.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <iostream>
#include <optional>
#include <sstream>

#include "app/core/campaign.h"
#include "app/core/same_list.h"
#include "app/cli/local_time.h"
#include "app/cli/command.h"
#include "app/cli/console_modem.h"
#include "app/cli/json_text.h"
#include "app/cli/numbers_in.h"
#include "app/cli/options.h"
#include "app/window/campaign_settings.h"
#include "app/core/message_composer.h"
#include "app/window/modem_boxes.h"
#include "journal/sqlite_journal.h"
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
    "campaign --port PORT[,PORT...] [--keep-duplicates] [--polish] [--text-file F] [--result OUT.xls] [--again] "
    "FILE|--numbers N,N,... TEXT | campaign --resume [ID] --port PORT[,PORT...] [--resend-uncertain]";

struct CampaignOptions {
  bool resume = false;
  std::optional<journal::TCampaignId> resumeId;  // none: the last unfinished campaign
  bool resendUncertain = false;
  bool again = false;
  std::string port;  // one or more, separated by commas
  bool keepDuplicates = false;
  bool polish = false;
  std::string textFile;
  std::optional<std::string> numbers;  // "N,N,..."
  std::string resultFile;
  std::optional<std::string> inputFile;
  std::string text;  // UTF-8
};

// The arguments of --resume: an optional ID and nothing of a new campaign.
std::optional<int> ParseResume(const OptionParser& parser, const std::vector<std::string>& words,
                               CampaignOptions& options) {
  if (options.numbers || !options.textFile.empty() || !options.resultFile.empty() || options.again ||
      options.keepDuplicates || options.polish) {
    return parser.UsageError(
        "--resume takes the numbers, the text and the result workbook from the journal: no --numbers, "
        "--text-file, --result, --again, --keep-duplicates or --polish");
  }
  if (words.size() > 1) return parser.UsageError("--resume takes one campaign ID at most, no FILE or TEXT");
  if (words.size() == 1) {
    const std::string& id = words.front();
    if (id.empty() || id.size() > 18 || id.find_first_not_of("0123456789") != std::string::npos) {
      return parser.UsageError("no FILE or TEXT with --resume: ID is a campaign's number, as `talvane-cli "
                               "campaigns` lists it");
    }
    options.resumeId = std::stoll(id);
  }
  return std::nullopt;
}

// Reads the arguments into `options`; the exit status when the command ends here.
std::optional<int> ParseOptions(const std::vector<std::string>& args, CampaignOptions& options) {
  OptionParser parser(kUsage, "Sends one text to every number, as the window's campaign does.");
  parser.Text("--port PORT[,PORT...]", options.port,
              "the modem's serial port; with several, every modem sends its share of the messages",
              Presence::Required);
  parser.Flag("--keep-duplicates", options.keepDuplicates, "send to a number as often as it is listed");
  parser.Flag("--polish", options.polish,
              "keep the Polish letters: the text goes out in UCS-2 (70 characters a part, 67 per part of a "
              "longer text)");
  parser.Text("--text-file F", options.textFile, "the text from this file (UTF-8) instead of TEXT");
  parser.Text("--numbers N,N,...", options.numbers, "national numbers of nine digits instead of FILE");
  parser.Text("--result OUT.xls", options.resultFile,
              "the result workbook of --numbers (manual_out.xls in the documents folder when not given)");
  parser.Flag("--again", options.again,
              "send also to the numbers an earlier campaign of the same text (in the last 7 days, or unfinished) "
              "has texted; without it they are skipped");
  parser.Flag("--resume", options.resume,
              "continue the campaign ID of the journal (the last unfinished one without ID): its text, numbers "
              "left and result workbook; no FILE or TEXT then");
  parser.Flag("--resend-uncertain", options.resendUncertain,
              "with --resume: send again the messages that may have been sent (their answer was lost)");
  std::vector<std::string> words;
  parser.Rest("FILE|TEXT|ID", words,
              "the spreadsheet of numbers unless --numbers; the text (UTF-8) unless --text-file; with --resume, "
              "the campaign's number");
  if (const std::optional<int> status = parser.Parse(args)) return status;
  if (options.resume) return ParseResume(parser, words, options);
  if (options.resendUncertain) return parser.UsageError("--resend-uncertain goes with --resume");

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

const char* StatusOf(const app::TMessageResult& result) {
  if (result.sent) return "sent";
  return result.uncertain ? "uncertain" : "failed";
}

// The campaign on the console: JSON lines on stdout, progress and log on stderr.
class ConsoleCampaignScreen final : public app::TCampaignScreen {
 public:
  void EmptyText() override { std::cerr << "talvane-cli campaign: the message text is empty\n"; }
  void JournalRefused(const app::AnsiString& reason) override {
    journalRefused_ = true;
    std::cerr << "talvane-cli campaign: " << platform::AnsiToUtf8(reason) << "\n";
  }
  void Started(int numbers) override {
    total_ = numbers;
    ShowProgress();
  }
  void Stepped(int, int) override {}
  void NumberTaken(const modem::TRecipient&) override {}
  void SendingTo(const modem::TRecipient&) override {}
  void LogLine(const app::AnsiString& line) override { Log(platform::AnsiToUtf8(line)); }
  void MessageCompleted(const app::TMessageResult& result, int completed) override {
    std::cout << "{\"number\":" << Json(result.recipient.number) << ",\"status\":\"" << StatusOf(result)
              << "\",\"parts\":" << result.parts << ",\"failed_parts\":" << result.failedParts.size()
              << ",\"refs\":" << JsonList(result.references, [](int r) { return std::to_string(r); }) << "}"
              << std::endl;
    if (result.sent) ++sent_;
    if (!result.sent && !result.uncertain) ++failed_;
    done_ = completed;
    ShowProgress();
  }
  void Finished(int, int) override {}
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
  bool JournalRefusedStart() const { return journalRefused_; }

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
  bool journalRefused_ = false;
};

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

// What the console waits for while the campaign runs, for each modem.
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
  gsm.OnPartReport = [&campaign](modem::TZoGSM& sender, const modem::TPartReport& report) {
    campaign.PartReported(sender, report);
  };
}

std::vector<std::string> SplitPorts(const std::string& list) {
  std::vector<std::string> ports;
  std::stringstream in(list);
  for (std::string port; std::getline(in, port, ',');) {
    if (!port.empty()) ports.push_back(port);
  }
  return ports;
}

// The first port that did not open, or none.
const std::string* PortNotOpening(const std::vector<std::string>& ports) {
  for (const std::string& port : ports) {
    if (!PortOpens(port, "campaign")) return &port;
  }
  return nullptr;
}

// How the campaign ended, for the closing line and the exit status.
struct Outcome {
  std::vector<std::string> notSent;  // the uncertain ones included
  std::string resultPath;
  bool refused = false;  // the campaign did not start
  bool interrupted = false;
  std::string noConnection;  // the port whose modem never answered
  std::optional<journal::TCampaignId> campaign;  // in the journal
  bool journalFailed = false;  // the journal did not take every record (the log said why)
};

// Where the campaign's records go: the journal and the list's file.
struct Records {
  journal::TCampaignJournal& journal;
  std::string sourceFile;
};

// Starts the campaign (Start or Resume); false when it was refused.
using Starter = std::function<bool(app::TCampaign&)>;

Outcome RunOnModems(const std::vector<std::string>& ports, const app::TCampaignText& text, app::TNumberList& numbers,
                    app::TResultWorkbook& results, const std::string& resultPath, const Records& records,
                    const Starter& start, ConsoleCampaignScreen& screen, platform::HeadlessMainLoop& loop) {
  Outcome outcome;
  std::vector<std::unique_ptr<modem::TZoGSM>> modems;
  std::vector<modem::TZoGSM*> pool;
  for (const std::string& port : ports) {
    modems.push_back(std::make_unique<modem::TZoGSM>(loop));
    app::ShowModemMessagesInBoxes(*modems.back());
    modem::ApplyWorkingInstanceSettings(*modems.back());
    modems.back()->SetComPort(port);
    pool.push_back(modems.back().get());
  }
  std::vector<Watch> watches(ports.size());
  const auto noConnection = [&] {
    for (size_t i = 0; i < watches.size(); ++i) {
      if (watches[i].noConnection) return ports[i];
    }
    return std::string();
  };
  std::unique_ptr<platform::Timer> timer1 = loop.CreateTimer();
  timer1->SetInterval(500);
  app::TCampaign campaign(pool, *timer1, numbers, results, resultPath, [&] { return text; }, screen);
  campaign.SetNoModemLimit(app::NoModemLimitSetting());
  campaign.SetJournal(&records.journal, records.sourceFile);
  timer1->OnTimer = [&campaign] { campaign.Step(); };
  for (size_t i = 0; i < pool.size(); ++i) BindModem(*pool[i], campaign, screen, watches[i]);

  if (!start(campaign)) {
    outcome.refused = true;
    return outcome;
  }
  outcome.campaign = campaign.JournalCampaign();
  outcome.resultPath = campaign.ResultPath();
  const auto ended = [&] { return !noConnection().empty() || campaign.Finished() || campaign.Stopped(); };
  loop.RunUntil([&] { return Interrupted() || ended(); }, std::chrono::hours(24 * 365));
  if (Interrupted() && !ended()) {
    // The message in hand finishes, all its parts, so that what is printed,
    // counted and coloured agrees; nothing more is handed over.
    outcome.interrupted = true;
    campaign.StopAfterMessagesInHand();
    loop.RunUntil(ended, std::chrono::hours(24 * 365));
  }
  if (!campaign.Finished() && !campaign.Stopped()) campaign.Stop(/*askFirst=*/false);
  for (const modem::TRecipient& recipient : campaign.NotSent()) outcome.notSent.push_back(recipient.number);
  for (const modem::TRecipient& recipient : campaign.Uncertain()) outcome.notSent.push_back(recipient.number);
  outcome.noConnection = noConnection();
  for (modem::TZoGSM* gsm : pool) {
    if (gsm->Connected()) gsm->SetConnected(false);
  }
  loop.RunUntil([&] { return std::none_of(pool.begin(), pool.end(), [](auto* gsm) { return gsm->Connected(); }); },
                std::chrono::seconds(10));
  for (modem::TZoGSM* gsm : pool) gsm->SetActive(false);
  campaign.SaveResults();  // as the window does when it closes
  outcome.journalFailed = !campaign.JournalFailure().empty();
  return outcome;
}

// Opens the journal of the program's data folder: nothing is sent that it
// could not record.
journal::TJournalResult<std::unique_ptr<journal::TSqliteJournal>> OpenJournal() {
  return journal::TSqliteJournal::Open(journal::TSqliteJournal::DefaultFile());
}

// Runs the campaign that `start` starts and prints its closing line; the exit status.
int RunAndClose(const std::vector<std::string>& ports, const app::TCampaignText& text, app::TNumberList& numbers,
                app::TResultWorkbook& results, const std::string& resultPath, const Records& records,
                const Starter& start, std::chrono::steady_clock::time_point started) {
  CatchInterrupts();
  ConsoleDialogs dialogs("campaign");
  platform::HeadlessMainLoop loop;
  platform::InstallDialogs(&dialogs, &loop);
  ConsoleCampaignScreen screen;
  const Outcome outcome = RunOnModems(ports, text, numbers, results, resultPath, records, start, screen, loop);
  platform::InstallDialogs(nullptr);
  if (outcome.refused) return screen.JournalRefusedStart() ? 1 : 2;
  screen.EndProgressLine();
  if (!outcome.noConnection.empty()) {
    std::cerr << "talvane-cli campaign: no connection with a modem on " << outcome.noConnection << "\n";
  }

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  char secondsText[32];
  std::snprintf(secondsText, sizeof secondsText, "%.1f", seconds);
  std::cout << "{\"sent\":" << screen.Sent() << ",\"failed\":" << screen.Failed()
            << ",\"not_sent\":" << JsonList(outcome.notSent, [](const std::string& n) { return Json(n); })
            << ",\"result_file\":" << JsonString(outcome.resultPath) << ",\"seconds\":" << secondsText
            << ",\"campaign\":" << outcome.campaign.value_or(0) << "}" << std::endl;
  if (outcome.interrupted) return 130;
  const bool allSent = screen.Failed() == 0 && outcome.notSent.empty() && outcome.noConnection.empty();
  return allSent && !outcome.journalFailed ? 0 : 1;
}

// The campaign to resume: the one asked for, or the last unfinished one.
std::optional<journal::TCampaignId> CampaignToResume(journal::TCampaignJournal& journal,
                                                     std::optional<journal::TCampaignId> asked, std::string& error) {
  if (asked) {
    auto summary = journal.Summary(*asked);
    if (summary) return asked;
    error = summary.Error().fault == journal::TJournalFault::NotFound
                ? "no campaign " + std::to_string(*asked) + " in the journal"
                : platform::AnsiToUtf8(summary.Error().text);
    return std::nullopt;
  }
  auto unfinished = journal.Campaigns(/*unfinishedOnly=*/true);
  if (!unfinished) {
    error = platform::AnsiToUtf8(unfinished.Error().text);
  } else if (unfinished->empty()) {
    error = "no unfinished campaign in the journal";
  } else {
    return unfinished->front().campaign.id;
  }
  return std::nullopt;
}

// What a resumed campaign starts from, on stderr.
void ShowResumed(journal::TCampaignId id, const app::TCampaignRecorder::TResumed& resumed, bool resendUncertain) {
  int sent = 0, left = 0, uncertain = 0;
  for (const journal::TRecipientRecord& recipient : resumed.recipients) {
    const journal::TMessageState state = recipient.state;
    if (state == journal::TMessageState::Queued) ++left;
    if (state == journal::TMessageState::Uncertain) ++uncertain;
    if (state == journal::TMessageState::Sent || state == journal::TMessageState::Delivered ||
        state == journal::TMessageState::Undelivered) {
      ++sent;
    }
  }
  std::cerr << "talvane-cli campaign: resuming campaign " << id << ": " << sent << " sent, " << left << " left, "
            << uncertain << " uncertain";
  if (resendUncertain) {
    std::cerr << " (" << resumed.resent << " uncertain sent again)";
  } else if (uncertain > 0) {
    std::cerr << " (they may have been sent: not sent again without --resend-uncertain)";
  }
  std::cerr << std::endl;
}

int ResumeCampaign(const CampaignOptions& options, const std::vector<std::string>& ports,
                   std::chrono::steady_clock::time_point started) {
  auto journal = OpenJournal();
  if (!journal) return Fail(platform::AnsiToUtf8(journal.Error().text), 1);
  std::string error;
  const std::optional<journal::TCampaignId> id = CampaignToResume(**journal, options.resumeId, error);
  if (!id) return Fail(error, 1);
  if (PortNotOpening(ports)) return 1;
  app::TNumberList numbers;
  app::TResultWorkbook results;
  const std::string noPath;  // the journal's campaign names its own
  const Records records{**journal, ""};
  const Starter resume = [&](app::TCampaign& campaign) {
    if (!campaign.Resume(*id, options.resendUncertain)) return false;
    ShowResumed(*id, campaign.Resumed(), options.resendUncertain);
    return true;
  };
  return RunAndClose(ports, {}, numbers, results, noPath, records, resume, started);
}

// The numbers an earlier campaign of the same text has texted, said on
// stderr, one line per earlier campaign; false when the journal could not tell.
bool FindAlreadyTexted(journal::TCampaignJournal& journal, const app::TCampaignText& text,
                       const app::TNumberList& numbers, std::map<std::string, journal::TCampaignId>& texted) {
  auto found = app::FindAlreadyTexted(journal, text.text, numbers.Numbers());
  if (!found) {
    Fail(platform::AnsiToUtf8(found.Error().text), 1);
    return false;
  }
  for (const app::TAlreadyTexted& earlier : *found) {
    std::cerr << "talvane-cli campaign: " << earlier.numbers.size() << " of these numbers already had this text in "
              << "campaign " << earlier.earlier.campaign.id << " (" << LocalTime(earlier.earlier.campaign.created)
              << "): skipped (--again sends to them too)\n";
  }
  texted = app::AlreadyTextedNumbers(*found);
  return true;
}

int RunCampaign(const std::vector<std::string>& args) {
  const auto started = std::chrono::steady_clock::now();
  CampaignOptions parsed;
  if (const std::optional<int> status = ParseOptions(args, parsed)) return *status;
  const CampaignOptions* options = &parsed;
  const std::vector<std::string> ports = SplitPorts(options->port);
  if (ports.empty()) return Fail("--port names no port", 2);
  if (options->resume) return ResumeCampaign(*options, ports, started);
  std::string error;
  const std::optional<std::string> text = ReadText(*options, error);
  if (!text) return Fail(error, 2);
  const app::TCampaignText campaignText{app::CampaignTextOf(platform::Utf8ToAnsi(*text), options->polish),
                                        options->polish};
  if (campaignText.text.empty()) return Fail("the message text is empty", 2);
  auto journal = OpenJournal();
  if (!journal) return Fail(platform::AnsiToUtf8(journal.Error().text), 1);

  app::TNumberList numbers;
  app::TResultWorkbook results;
  std::string resultPath;
  if (options->inputFile) {
    if (!options->resultFile.empty()) return Fail("--result goes with --numbers: FILE's result is FILE_out", 2);
    if (PortNotOpening(ports)) return 1;
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
    if (PortNotOpening(ports)) return 1;
    if (const int saved = results.SaveAs(resultPath); saved != xls::kSaveOk) {
      return Fail("cannot write the result workbook " + resultPath + ": " + xls::SaveResultReason(saved, resultPath),
                  1);
    }
  }
  std::map<std::string, journal::TCampaignId> alreadyTexted;
  if (!options->again && !FindAlreadyTexted(**journal, campaignText, numbers, alreadyTexted)) return 1;

  const Records records{**journal, options->inputFile ? std::filesystem::absolute(*options->inputFile).string() : ""};
  const Starter start = [&](app::TCampaign& campaign) {
    campaign.SetAlreadyTexted(alreadyTexted);
    return campaign.Start();
  };
  return RunAndClose(ports, campaignText, numbers, results, resultPath, records, start, started);
}

const CommandRegistration registration({"campaign", kUsage, RunCampaign});

}  // namespace
}  // namespace cli
