#include "modem/received_text.h"

#include <algorithm>

#include "modem/text_fields.h"
#include "modem/text_lines.h"

namespace modem {
namespace {

// A decimal number, or `fallback` when the text is not one.
int NumberOr(std::string_view text, int fallback) { return ToIntDef(text, fallback); }

// Characters from the 0-based `first`, at most `count` of them; empty past the end.
std::string_view Slice(std::string_view text, size_t first, size_t count) {
  return first < text.size() ? text.substr(first, count) : std::string_view();
}

bool InList(std::string_view item, const std::vector<std::string>* list) {
  if (list == nullptr) return false;
  const std::string lower = LowerAnsi(item);
  return std::any_of(list->begin(), list->end(), [&](const std::string& line) { return LowerAnsi(line) == lower; });
}

// A final "?" (the sender asks for an answer) written as "##?".
std::string WithQuestionMark(std::string tag) {
  if (!tag.empty() && tag.back() == '?') {
    tag.pop_back();
    tag += "##?";
  }
  return tag;
}

}  // namespace

int IndicationIndex(std::string_view line) {
  std::string rest(line);
  SplitAt(rest, ",");
  return NumberOr(TrimControl(SplitAt(rest, ",")), 1);
}

std::string CallerNumber(std::string_view clipLine, std::string_view prefixForCountry) {
  std::string number;
  if (const size_t open = clipLine.find('"'); open != std::string_view::npos) {
    const size_t close = clipLine.find('"', open + 1);
    number = TrimControl(clipLine.substr(open + 1, close == std::string_view::npos ? close : close - open - 1));
  }
  if (number.empty()) return "unknown";
  if (number.size() == 9) return std::string(prefixForCountry) + number;
  return number;
}

std::optional<TextPrefix> ReadTextPrefix(std::string_view text) {
  if (text.size() < kTextPrefixLength + 1) return std::nullopt;
  if (text[0] != '(' || text[3] != 'z' || text[6] != ')') return std::nullopt;
  return TextPrefix{NumberOr(text.substr(1, 2), 1), NumberOr(text.substr(4, 2), 1)};
}

int PrefixReference(std::string_view sender, int total) {
  const std::string_view digits = sender.starts_with('+') ? sender.substr(1) : sender;
  unsigned char mixed = 0;
  for (char c : digits) mixed ^= static_cast<unsigned char>(c);
  constexpr int kNotANumber = 27000;
  return NumberOr(Slice(digits, 0, 4), kNotANumber) + mixed + NumberOr(Slice(digits, 4, 4), kNotANumber) +
         NumberOr(Slice(digits, 8, 3), kNotANumber) + total;
}

std::string LowerAnsi(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    const unsigned char u = static_cast<unsigned char>(c);
    unsigned char l = u;
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) {
      l = static_cast<unsigned char>(u + 0x20);
    } else if (u == 0x8A || (u >= 0x8C && u <= 0x8F)) {
      l = static_cast<unsigned char>(u + 0x10);  // Š Ś Ť Ž Ź
    } else if (u == 0xA3) {
      l = 0xB3;  // Ł
    } else if (u == 0xA5) {
      l = 0xB9;  // Ą
    } else if (u == 0xAA || u == 0xAF) {
      l = static_cast<unsigned char>(u + 0x10);  // Ş Ż
    } else if (u == 0xBC) {
      l = 0xBE;  // Ľ
    }
    c = static_cast<char>(l);
  }
  return lower;
}

std::optional<std::string> ResolveRecipients(std::string_view tag, const RecipientRules& rules) {
  std::string rest(tag);
  const bool asks = !rest.empty() && rest.back() == '?';
  if (asks) rest.pop_back();
  std::string result;
  if (rest.find(',') == std::string::npos) {
    if (!InList(rest, rules.table)) return std::nullopt;
    result = rest;
  } else {
    std::string names;
    std::string groups;
    while (!rest.empty()) {
      const std::string item = SplitAt(rest, ",");
      if (InList(item, rules.table)) {
        names += item + ";";
      } else if (InList(item, rules.groups)) {
        groups += item + ";";
      }
    }
    if (names.empty() && groups.empty()) return std::nullopt;
    if (!names.empty()) names.pop_back();
    if (!groups.empty()) groups.pop_back();
    result = names + "#" + groups;
  }
  return LowerAnsi(result) + (asks ? "#?" : "");
}

RecipientTag ExtractRecipient(std::string_view text, const RecipientRules& rules) {
  RecipientTag found{{}, std::string(text)};
  const char start = rules.start;
  if (start == '\0' && rules.stop == '\0') return found;
  const size_t stop = text.find(rules.stop);
  if (stop == std::string_view::npos) return found;
  const size_t opening = text.find(start);
  std::string prefix;
  std::string tag;
  if (opening != std::string_view::npos && opening > 0 && opening < stop) {
    prefix = text.substr(0, opening);
    tag = text.substr(opening, stop - opening);
  } else {
    tag = text.substr(0, stop);
  }

  const bool hasSpace = tag.find(' ') != std::string::npos;
  if (!tag.starts_with(start)) {
    if (!hasSpace) {
      if (const std::optional<std::string> resolved = ResolveRecipients(tag, rules)) {
        found.recipient = "system#" + LowerAnsi(*resolved);
      }
    }
  } else {
    const char kind = tag.size() > 1 ? tag[1] : '\0';
    if (kind == '@') {
      found.recipient = "email#" + LowerAnsi(WithQuestionMark(tag.substr(2)));
    } else if (kind == '!') {
      found.recipient = "virtual#" + LowerAnsi(WithQuestionMark(tag.substr(2)));
    } else {
      tag.erase(0, 1);
      if (!hasSpace) {
        if (const std::optional<std::string> resolved = ResolveRecipients(tag, rules)) {
          found.recipient = "system#" + *resolved;
        }
      }
    }
  }
  if (!found.recipient.empty()) found.text = std::string(text.substr(stop + 1)) + prefix;
  return found;
}

const std::string* MatchingQuestion(std::string_view text, const std::vector<std::string>& questions) {
  const std::string lowerText = LowerAnsi(text);
  for (const std::string& question : questions) {
    if (lowerText.starts_with(LowerAnsi(question))) return &question;
  }
  return nullptr;
}

IndicatorEvent ReadIndicators(std::string_view text, bool sendOneSignal) {
  using Kind = IndicatorEvent::Kind;
  if (Contains(text, "+CIEV: 1,1")) return {Kind::CallState, TCallStatus::inCall, true};
  if (Contains(text, "+CIEV: 1,0") || Contains(text, "+CIEV: 3,0")) {
    return {Kind::CallState, TCallStatus::noCall, false};
  }
  if (Contains(text, "+CIEV: 3,1")) return {Kind::CallState, TCallStatus::inCall, true};
  if (Contains(text, "+CIEV: 3,2")) return {Kind::CallState, TCallStatus::outCall, true};
  if (Contains(text, "+CIEV: 3,3") && sendOneSignal) return {Kind::OneRingHangUp, TCallStatus::noCall, false};
  return {};
}

}  // namespace modem
