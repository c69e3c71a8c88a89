#pragma once
// What the engine reads out of received texts, without touching the modem:
// storage indexes of new-message indications, caller numbers, the "(01z03)"
// concatenation prefix, recipient tags, question prefixes and indicator
// events. Texts are the program's Windows-1250 text.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modem/zogsm_events.h"

namespace modem {

// The storage index of a "+CMTI: <mem>,<index>" line: its second
// comma-separated field, trimmed; 1 when that is not a number.
int IndicationIndex(std::string_view line);

// The caller of a "+CLIP: "<number>",<type>..." line: the text between the
// first and the second double quote, trimmed; "unknown" when it is empty; a
// number of exactly nine characters gets `prefixForCountry` in front.
std::string CallerNumber(std::string_view clipLine, std::string_view prefixForCountry);

// A text concatenated by its prefix: "(" n n "z" t t ")" in front of at least
// one more character, nn the part number and tt the number of parts.
struct TextPrefix {
  int part = 1;   // 1 when the digits are not a number
  int total = 1;  // likewise
};
std::optional<TextPrefix> ReadTextPrefix(std::string_view text);
inline constexpr size_t kTextPrefixLength = 7;

// The reference shared by all parts of one prefixed message from one sender:
// made from the sender's digits and the number of parts.
int PrefixReference(std::string_view sender, int total);

// Lower case of Windows-1250 text (Polish and other Central European letters
// included); the case-blind comparisons of received texts go through it.
std::string LowerAnsi(std::string_view text);

// A recipient tag taken out of a received text.
struct RecipientTag {
  std::string recipient;  // "system#...", "email#...", "virtual#..." or empty
  std::string text;       // the text without the tag (unchanged when none was found)
};

struct RecipientRules {
  char start = '=';  // RecipientSepStart; NUL together with `stop`: no tags
  char stop = '.';   // RecipientSepStop
  const std::vector<std::string>* table = nullptr;   // RecipientsTable
  const std::vector<std::string>* groups = nullptr;  // RecipientsGroups
};

RecipientTag ExtractRecipient(std::string_view text, const RecipientRules& rules);

// A tag's names and groups as the recipient text ("sales;support#team"),
// lower case, "#?" behind it when the tag ended with "?"; nothing when the
// tag names no one the tables know.
std::optional<std::string> ResolveRecipients(std::string_view tag, const RecipientRules& rules);

// The first of `questions` the text begins with, compared without regard to
// case over the question's length (an empty question matches every text).
const std::string* MatchingQuestion(std::string_view text, const std::vector<std::string>& questions);

// What an indicator text ("+CIEV: <ind>,<value>") means for the call.
struct IndicatorEvent {
  enum class Kind { None, CallState, OneRingHangUp };
  Kind kind = Kind::None;
  TCallStatus status = TCallStatus::noCall;
  bool busy = false;
};
IndicatorEvent ReadIndicators(std::string_view text, bool sendOneSignal);

}  // namespace modem
