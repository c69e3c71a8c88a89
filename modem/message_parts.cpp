#include "modem/message_parts.h"

#include <algorithm>
#include <cstdio>

#include "modem/text_fields.h"
#include "modem/text_lines.h"
#include "sms/hex_text.h"
#include "sms/part_room.h"
#include "sms/sms_encoder.h"
#include "sms/text_preparation.h"

namespace modem {
namespace {

constexpr int kMaxMergeMax = 255;  // the header holds counts in one octet

// "050003" + reference + parts in the group + position in the group.
std::string ConcatenationHeader(unsigned reference, unsigned total, unsigned position) {
  std::string header = "050003";
  sms::AppendHexOctet(header, reference & 0xFF);
  sms::AppendHexOctet(header, total);
  sms::AppendHexOctet(header, position);
  return header;
}

// The visible "<01z03>" in front of the first part of every group: group
// number, "z" (of), number of groups, each with at least two digits.
std::string GroupPrefix(int group, int groups) {
  char text[32];
  std::snprintf(text, sizeof text, "<%.2dz%.2d>", group, groups);
  return text;
}

struct MeasuredPart {
  size_t length = 0;  // characters taken from the text
  sms::EncodedPart encoded;
};

class Splitter {
 public:
  explicit Splitter(const SplitRequest& request)
      : request_(request),
        room_(request.recipient.destination, request.forceUcs2),
        mergeMax_(std::clamp(request.mergeMax, 2, kMaxMergeMax)) {}

  // The longest chunk of `remaining` (at most 160 characters) that fits one
  // part after `prefix` with `header`: the candidate is encoded and shortened
  // by one character until it fits, starting where PartRoom predicts.
  MeasuredPart Measure(const std::string& prefix, std::string_view remaining, const std::string& header) const {
    const size_t candidate = std::min(sms::kMaxPartCharacters, remaining.size());
    for (size_t length = room_.LongestFit(prefix, remaining, candidate, header.size() / 2); length > 0; --length) {
      sms::EncodedPart encoded = sms::EncodePart(request_.recipient.destination, prefix + std::string(remaining.substr(0, length)),
                                                 header, request_.flash, request_.forceUcs2, request_.statusReport);
      if (sms::FitsOnePart(encoded)) return {length, std::move(encoded)};
    }
    throw sms::EncodeError("no character of the text fits one part for the number " + request_.recipient.destination);
  }

  // The text cut into message parts. The first part is tried without a header; once the
  // text needs several, every part is measured with one. With `groups` > 0
  // the first part of every group carries its prefix: a text counted for G
  // groups takes the room it will take when it is split into G groups.
  int CountParts(int groups, std::uint8_t reference) const {
    std::string_view remaining = request_.text;
    std::string header;
    int count = 0;
    while (!remaining.empty()) {
      const bool firstOfGroup = groups > 0 && count % mergeMax_ == 0;
      const std::string prefix = firstOfGroup ? GroupPrefix(count / mergeMax_ + 1, groups) : "";
      MeasuredPart part = Measure(prefix, remaining, header);
      if (header.empty()) {
        if (count == 0 && part.length == remaining.size()) return 1;
        header = ConcatenationHeader(reference, 1, 1);
        part = Measure(prefix, remaining, header);
      }
      ++count;
      remaining.remove_prefix(part.length);
    }
    return count;
  }

  std::vector<TQueuedPart> Split(std::uint8_t& reference) const {
    int partCount = CountParts(0, reference);
    const bool usePrefixes = partCount > mergeMax_;
    if (usePrefixes) {
      // Up to 99 groups every prefix has seven characters; beyond, the
      // numbers grow a digit, so count again until the group count holds.
      int groups = GroupsOf(partCount);
      for (int round = 0; round < 8; ++round) {
        partCount = CountParts(groups, reference);
        if (GroupsOf(partCount) == groups) break;
        groups = GroupsOf(partCount);
      }
    }
    const int groups = GroupsOf(partCount);
    const bool lastAlone = partCount - (groups - 1) * mergeMax_ == 1;

    std::vector<TQueuedPart> parts;
    std::string_view remaining = request_.text;
    for (int i = 1; !remaining.empty(); ++i) {
      const int group = (i - 1) / mergeMax_;
      const int position = (i - 1) % mergeMax_ + 1;
      const std::string header =
          i == partCount && lastAlone
              ? ""
              : ConcatenationHeader(reference + group, std::min(mergeMax_, partCount - group * mergeMax_), position);
      const std::string prefix = usePrefixes && position == 1 ? GroupPrefix(group + 1, groups) : "";
      MeasuredPart part = Measure(prefix, remaining, header);
      parts.push_back({request_.recipient, request_.marker, i, partCount, part.encoded.tpduLength,
                       part.encoded.pdu, prefix + std::string(remaining.substr(0, part.length))});
      remaining.remove_prefix(part.length);
    }
    if (partCount > 1) reference = static_cast<std::uint8_t>(reference + groups - (lastAlone ? 1 : 0));
    return parts;
  }

 private:
  int GroupsOf(int parts) const { return (parts - 1) / mergeMax_ + 1; }

  const SplitRequest& request_;
  sms::PartRoom room_;
  int mergeMax_;
};

bool NeedsQuotes(std::string_view field) {
  if (field.empty()) return false;
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  return field.find_first_of(",\"") != std::string_view::npos || isBlank(field.front()) || isBlank(field.back());
}

// A field written as it is, or quoted when it would not read back unchanged.
std::string PlainOrQuoted(std::string_view field) { return NeedsQuotes(field) ? CsvQuote(field) : std::string(field); }

}  // namespace

std::string NormaliseNumber(std::string_view value, std::string_view prefixForCountry, bool checkNumberSyntax) {
  if (!checkNumberSyntax) return std::string(value);
  std::string number = TrimControl(value);
  if (!prefixForCountry.empty() && number.starts_with(prefixForCountry)) number.erase(0, prefixForCountry.size());
  if (number.starts_with('0')) number.erase(0, 1);
  return std::string(prefixForCountry) + number;
}

platform::AnsiString PrepareTextForSending(std::string_view text, bool specialSymbols, bool cutCrLf) {
  platform::AnsiString prepared = specialSymbols ? std::string(text) : sms::Transliterate(text);
  return cutCrLf ? sms::ReplaceLineBreaks(prepared) : prepared;
}

std::vector<TQueuedPart> SplitIntoParts(const SplitRequest& request, std::uint8_t& reference) {
  if (TrimControl(request.text).empty()) return {};
  return Splitter(request).Split(reference);
}

std::string FormatPartLine(const TQueuedPart& part) {
  return std::to_string(part.tpduLength) + "," + PlainOrQuoted(part.pdu) + ",\"" + EscapePartText(part.text) +
         "\"," + CsvQuote(part.marker) + "," + std::to_string(part.partNumber) + "," +
         std::to_string(part.totalParts) + "," + PlainOrQuoted(part.recipient.destination);
}

std::vector<std::string> FormatPartLines(const std::vector<TQueuedPart>& parts) {
  std::vector<std::string> lines;
  lines.reserve(parts.size());
  for (const TQueuedPart& part : parts) lines.push_back(FormatPartLine(part));
  return lines;
}

int MessageReference(std::string_view answer) {
  const size_t at = answer.find("+CMGS");
  if (at == std::string_view::npos) return -1;
  std::string rest(answer.substr(at + 1));
  std::string line = SplitAt(rest, "\r");
  SplitAt(line, " ");
  return ToIntDef(line, -1);
}

bool IsSendablePart(const TQueuedPart& part) {
  return part.tpduLength > 0 && !part.pdu.empty() && part.pdu.size() % 2 == 0 &&
         std::all_of(part.pdu.begin(), part.pdu.end(), [](char c) { return sms::HexDigitValue(c) >= 0; });
}

std::string EscapePartText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      escaped += "%n";
      ++i;
    } else if (text[i] == '"') {
      escaped += "%~";
    } else {
      escaped.push_back(text[i]);
    }
  }
  return escaped;
}

std::string RestoreLineBreaks(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '%' && i + 1 < field.size() && field[i + 1] == 'n') {
      text += "\r\n";
      ++i;
    } else {
      text.push_back(field[i]);
    }
  }
  return text;
}

}  // namespace modem
