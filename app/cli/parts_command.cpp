// talvane-cli parts: the part lines a send request would queue for a number
// and a text, or the preview the composer counts with.

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <string>

#include "app/cli/command.h"
#include "modem/message_parts.h"
#include "platform/codepage.h"
#include "sms/sms_encoder.h"

namespace cli {
namespace {

constexpr char kUsage[] =
    "parts [--merge N] [--ref R] [--flash] [--report] [--ucs2] [--keep-crlf] [--preview] NUMBER TEXT";
constexpr char kPrefixForCountry[] = "+48";
constexpr char kNothingToSend[] = "Brak wiadomości do wysłania!";

struct Options {
  int mergeMax = 3;  // the component's SMSMergeMax
  int reference = 0;
  bool flash = false;
  bool report = false;
  bool ucs2 = false;
  bool keepCrLf = false;
  bool preview = false;
  std::string number;
  std::string text;  // UTF-8
};

constexpr int kNoNumber = std::numeric_limits<int>::min();

std::optional<int> ParseInt(const std::string& text) {
  try {
    size_t used = 0;
    const int value = std::stoi(text, &used);
    if (used == text.size()) return value;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// Reads the arguments; prints what is wrong and returns nothing on error.
std::optional<Options> ParseOptions(const std::vector<std::string>& args) {
  Options options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--merge" || arg == "--ref") {
      const bool merge = arg == "--merge";
      const int value = i + 1 < args.size() ? ParseInt(args[++i]).value_or(kNoNumber) : kNoNumber;
      if (merge && (value == kNoNumber || value > 255)) {
        std::cerr << "talvane-cli parts: --merge needs a number of parts up to 255\n";
        return std::nullopt;
      }
      if (!merge && (value < 0 || value > 255)) {
        std::cerr << "talvane-cli parts: --ref needs a reference from 0 to 255\n";
        return std::nullopt;
      }
      (merge ? options.mergeMax : options.reference) = value;
    } else if (arg == "--flash") {
      options.flash = true;
    } else if (arg == "--report") {
      options.report = true;
    } else if (arg == "--ucs2") {
      options.ucs2 = true;
    } else if (arg == "--keep-crlf") {
      options.keepCrLf = true;
    } else if (arg == "--preview") {
      options.preview = true;
    } else if (arg.starts_with("--")) {
      std::cerr << "talvane-cli parts: unknown option " << arg << "\n";
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) {
    std::cerr << "usage: talvane-cli " << kUsage << "\n";
    return std::nullopt;
  }
  options.mergeMax = std::max(options.mergeMax, 2);  // as the SMSMergeMax setter does
  options.number = positional[0];
  options.text = positional[1];
  return options;
}

int RunParts(const std::vector<std::string>& args) {
  const std::optional<Options> options = ParseOptions(args);
  if (!options) return 2;

  // As the component takes it: SMSNumber normalised, SMSText trimmed; a send
  // request then prepares the text and uses the stored reference, while the
  // preview counts the text as assigned with a scratch reference of 0.
  modem::SplitRequest request;
  request.number = modem::NormaliseNumber(options->number, kPrefixForCountry, true);
  request.text = modem::TrimBlanksAndControls(platform::Utf8ToAnsi(options->text));
  if (!options->preview) request.text = modem::PrepareTextForSending(request.text, options->ucs2, !options->keepCrLf);
  request.mergeMax = options->mergeMax;
  request.flash = options->flash;
  request.forceUcs2 = options->ucs2;
  request.statusReport = options->report;

  std::uint8_t reference = options->preview ? 0 : static_cast<std::uint8_t>(options->reference);
  std::vector<std::string> lines;
  try {
    lines = modem::SplitIntoParts(request, reference);
  } catch (const sms::EncodeError& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  for (const std::string& line : lines) std::cout << platform::AnsiToUtf8(line) << "\n";
  std::cout << "ref=" << (options->preview ? options->reference : int(reference)) << "\n";
  if (lines.empty() && !options->preview) {
    std::cerr << kNothingToSend << "\n";
    return 1;
  }
  return 0;
}

const CommandRegistration registration({"parts", kUsage, RunParts});

}  // namespace
}  // namespace cli
