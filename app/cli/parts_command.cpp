// talvane-cli parts: the part lines a send request would queue for a number
// and a text, or the preview the composer counts with.

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

#include "app/cli/command.h"
#include "app/cli/options.h"
#include "app/cli/typed_number.h"
#include "modem/message_parts.h"
#include "modem/text_lines.h"
#include "modem/zogsm_settings.h"
#include "platform/codepage.h"
#include "sms/sms_encoder.h"

namespace cli {
namespace {

constexpr char kUsage[] =
    "parts [--merge N] [--ref R] [--flash] [--report] [--ucs2] [--keep-crlf] [--preview] NUMBER TEXT";
constexpr char kNothingToSend[] = "Brak wiadomości do wysłania!";

// The settings a new component starts with; `parts` answers as it would.
const modem::TZoGSMSettings& Component() {
  static const modem::TZoGSMSettings settings;
  return settings;
}

struct Options {
  int mergeMax = Component().SMSMergeMax;
  int reference = 0;
  bool flash = false;
  bool report = false;
  bool ucs2 = false;
  bool keepCrLf = !Component().CutCRLFfromText;
  bool preview = false;
  std::string number;
  std::string text;  // UTF-8
};

// Reads the arguments into `options`; the exit status when the command ends here.
std::optional<int> ParseOptions(const std::vector<std::string>& args, Options& options) {
  OptionParser parser(kUsage, "The part lines a send request would queue for NUMBER and TEXT, then ref=NEXT.");
  parser.Number("--merge N", options.mergeMax, {.max = 255}, "parts a long text may take (the component's SMSMergeMax)");
  parser.Number("--ref R", options.reference, {.min = 0, .max = 255}, "the message reference to start from");
  parser.Flag("--flash", options.flash, "a flash message, shown at once and not stored");
  parser.Flag("--report", options.report, "ask for a delivery report");
  parser.Flag("--ucs2", options.ucs2, "keep Polish and other special characters (sent as UCS-2)");
  parser.Flag("--keep-crlf", options.keepCrLf, "keep line ends in the text");
  parser.Flag("--preview", options.preview, "count the text as the composer does, reference untouched");
  parser.Positional("NUMBER", options.number, "the recipient's number");
  parser.Positional("TEXT", options.text, "the text (UTF-8)");
  if (const std::optional<int> status = parser.Parse(args)) return status;
  if (!AcceptTypedNumber(options.number, "parts", Component().PrefixForCountry)) return 2;
  options.mergeMax = std::max(options.mergeMax, 2);  // as the SMSMergeMax setter does
  return std::nullopt;
}

int RunParts(const std::vector<std::string>& args) {
  Options options;
  if (const std::optional<int> status = ParseOptions(args, options)) return *status;

  // As the component takes it: the number as the user meant it (already in
  // international form), SMSText trimmed; a send request then prepares the
  // text and uses the stored reference, while the preview counts the text as
  // assigned with a scratch reference of 0.
  modem::SplitRequest request;
  request.recipient.destination = options.number;
  request.text = modem::TrimControl(platform::Utf8ToAnsi(options.text));
  if (!options.preview) request.text = modem::PrepareTextForSending(request.text, options.ucs2, !options.keepCrLf);
  request.mergeMax = options.mergeMax;
  request.flash = options.flash;
  request.forceUcs2 = options.ucs2;
  request.statusReport = options.report;

  std::uint8_t reference = options.preview ? 0 : static_cast<std::uint8_t>(options.reference);
  std::vector<std::string> lines;
  try {
    lines = modem::FormatPartLines(modem::SplitIntoParts(request, reference));
  } catch (const sms::EncodeError& error) {
    std::cerr << "talvane-cli parts: " << error.what() << "\n";
    return 1;
  }
  for (const std::string& line : lines) std::cout << platform::AnsiToUtf8(line) << "\n";
  std::cout << "ref=" << (options.preview ? options.reference : int(reference)) << "\n";
  if (lines.empty() && !options.preview) {
    std::cerr << "talvane-cli parts: " << kNothingToSend << "\n";
    return 1;
  }
  return 0;
}

const CommandRegistration registration({"parts", kUsage, RunParts});

}  // namespace
}  // namespace cli
