// `talvane-cli campaigns`: what the campaign journal holds. Without a
// subcommand, one JSON line per campaign, newest first; `show ID` one JSON
// line per recipient in the list's order; `export ID` the result workbook
// written again from the journal, with the rows and colours the campaign
// gives it. The journal is read where the window and `campaign` keep it.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/json_text.h"
#include "app/cli/options.h"
#include "app/core/journal_results.h"
#include "app/core/result_workbook.h"
#include "app/cli/local_time.h"
#include "journal/sqlite_journal.h"
#include "xls/result_codes.h"

namespace cli {
namespace {

constexpr char kListUsage[] = "campaigns [show ID | export ID [--result OUT.xls]]";
constexpr char kShowUsage[] = "campaigns show ID";
constexpr char kExportUsage[] = "campaigns export ID [--result OUT.xls]";

int Fail(const std::string& command, const std::string& message) {
  std::cerr << "talvane-cli " << command << ": " << message << "\n";
  return 1;
}

// The journal of the program's data folder, or why it cannot be read.
journal::TJournalResult<std::unique_ptr<journal::TSqliteJournal>> OpenJournal() {
  return journal::TSqliteJournal::Open(journal::TSqliteJournal::DefaultFile());
}

std::string Reason(const journal::TJournalError& error) { return platform::AnsiToUtf8(error.text); }

std::string Name(std::string_view name) { return JsonString(std::string(name)); }

std::string SummaryLine(const journal::TCampaignSummary& summary) {
  const journal::TCampaignRecord& campaign = summary.campaign;
  return "{\"id\":" + std::to_string(campaign.id) + ",\"created\":" + JsonString(LocalTime(campaign.created)) +
         ",\"text\":" + JsonAnsiString(campaign.campaign.text) + ",\"total\":" + std::to_string(summary.total) +
         ",\"sent\":" + std::to_string(summary.sent) + ",\"failed\":" + std::to_string(summary.failed) +
         ",\"uncertain\":" + std::to_string(summary.uncertain) + ",\"left\":" + std::to_string(summary.left) +
         ",\"state\":" + Name(journal::StateName(campaign.state)) + "}";
}

// Why a message was not sent: the cause of its last failed part, or why it was skipped.
platform::AnsiString ErrorOf(const journal::TRecipientRecord& recipient) {
  for (auto part = recipient.partLog.rbegin(); part != recipient.partLog.rend(); ++part) {
    if (!part->error.empty()) return part->error;
  }
  return recipient.note;
}

std::string RecipientLine(const journal::TRecipientRecord& recipient) {
  std::string refs;
  for (const journal::TPartRecord& part : recipient.partLog) {
    if (part.state == journal::TPartState::Sent && part.reference) {
      refs += (refs.empty() ? "" : ",") + std::to_string(*part.reference);
    }
  }
  return "{\"row\":" + std::to_string(recipient.entry.row) + ",\"number\":" + JsonString(recipient.entry.number) +
         ",\"state\":" + Name(journal::StateName(recipient.state)) + ",\"parts\":" + std::to_string(recipient.parts) +
         ",\"refs\":[" + refs + "],\"modem\":" + JsonString(recipient.modem) +
         ",\"error\":" + JsonAnsiString(ErrorOf(recipient)) + "}";
}

// Reads the campaign id of `words` ("ID"); nothing when it is not one.
std::optional<journal::TCampaignId> CampaignId(const std::string& word) {
  if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos || word.size() > 18) {
    return std::nullopt;
  }
  return std::stoll(word);
}

int List(const std::vector<std::string>& args) {
  OptionParser parser(kListUsage, "Lists the campaigns of the journal, newest first, one JSON line each.");
  if (const std::optional<int> status = parser.Parse(args)) return *status;
  auto journal = OpenJournal();
  if (!journal) return Fail("campaigns", Reason(journal.Error()));
  auto campaigns = (*journal)->Campaigns(/*unfinishedOnly=*/false);
  if (!campaigns) return Fail("campaigns", Reason(campaigns.Error()));
  for (const journal::TCampaignSummary& summary : *campaigns) std::cout << SummaryLine(summary) << "\n";
  return 0;
}

// The recipients of the campaign ID, or the exit status when they cannot be read.
std::optional<int> ReadRecipients(const std::string& command, const OptionParser& parser, const std::string& id,
                                  journal::TCampaignRecord& campaign,
                                  std::vector<journal::TRecipientRecord>& recipients) {
  const std::optional<journal::TCampaignId> campaignId = CampaignId(id);
  if (!campaignId) return parser.UsageError("ID is a campaign's number, as `talvane-cli campaigns` lists it");
  auto journal = OpenJournal();
  if (!journal) return Fail(command, Reason(journal.Error()));
  auto summary = (*journal)->Summary(*campaignId);
  if (!summary) return Fail(command, Reason(summary.Error()));
  auto read = (*journal)->Recipients(*campaignId);
  if (!read) return Fail(command, Reason(read.Error()));
  campaign = summary->campaign;
  recipients = std::move(*read);
  return std::nullopt;
}

int Show(const std::vector<std::string>& args) {
  OptionParser parser(kShowUsage, "One JSON line per recipient of the campaign, in the list's order.");
  std::string id;
  parser.Positional("ID", id, "the campaign's number");
  if (const std::optional<int> status = parser.Parse(args)) return *status;
  journal::TCampaignRecord campaign;
  std::vector<journal::TRecipientRecord> recipients;
  if (const auto status = ReadRecipients("campaigns show", parser, id, campaign, recipients)) return *status;
  for (const journal::TRecipientRecord& recipient : recipients) std::cout << RecipientLine(recipient) << "\n";
  return 0;
}

int Export(const std::vector<std::string>& args) {
  OptionParser parser(kExportUsage, "Writes the campaign's result workbook from the journal.");
  std::string id;
  std::string resultFile;
  parser.Positional("ID", id, "the campaign's number");
  parser.Text("--result OUT.xls", resultFile, "where to write it (the campaign's own result workbook when not given)");
  if (const std::optional<int> status = parser.Parse(args)) return *status;
  journal::TCampaignRecord campaign;
  std::vector<journal::TRecipientRecord> recipients;
  if (const auto status = ReadRecipients("campaigns export", parser, id, campaign, recipients)) return *status;
  const std::string path = resultFile.empty() ? campaign.campaign.resultFile : resultFile;
  if (path.empty()) return Fail("campaigns export", "the campaign names no result workbook: give --result");

  auto journal = OpenJournal();
  if (!journal) return Fail("campaigns export", Reason(journal.Error()));
  app::TResultWorkbook results;
  app::AnsiString failure;
  if (!app::ResultsFromJournal(**journal, campaign.id, results, failure)) {
    return Fail("campaigns export", platform::AnsiToUtf8(failure));
  }
  if (const int saved = results.SaveAs(path); saved != xls::kSaveOk) {
    return Fail("campaigns export", "cannot write the result workbook " + path + ": " +
                                        xls::SaveResultReason(saved, path));
  }
  std::cout << "{\"campaign\":" << campaign.id << ",\"rows\":" << recipients.size()
            << ",\"result_file\":" << JsonString(path) << "}\n";
  return 0;
}

int RunCampaigns(const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "show") return Show(std::vector<std::string>(args.begin() + 1, args.end()));
  if (!args.empty() && args[0] == "export") return Export(std::vector<std::string>(args.begin() + 1, args.end()));
  return List(args);
}

const CommandRegistration registration({"campaigns", kListUsage, RunCampaigns});

}  // namespace
}  // namespace cli
