#pragma once
// Secret messages: the text, with a four-character PIN in front, scrambled
// into letters, digits and "+/=" that every phone carries in the GSM 7-bit
// alphabet unchanged. Outgoing secret messages are framed "66" ... "BB",
// incoming ones "55" ... "AA"; the framing is the caller's business.
//
// The scramble is reversible and self-checking: a check octet travels with
// the text, so a text damaged or not scrambled by this routine is refused
// instead of being read as garbage. It keeps a text from the eyes of whoever
// reads the phone's message list; it is not encryption.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <optional>
#include <string>
#include <string_view>

namespace modem {

// The longest text a secret message carries; a longer one is cut.
inline constexpr size_t kSecretTextMaxLength = 325;

// The PIN as it travels: four characters; blank after trimming gives four
// spaces, a longer one its first four, a shorter one padded with spaces.
std::string SecretPin(std::string_view pin);

// The text assigned to SMSText for a secret message: "66" + the scrambled
// PIN and text (the text cut to kSecretTextMaxLength) + "BB".
std::string SecretMessageText(std::string_view text, std::string_view pin);

// The scramble of any 8-bit text, and its inverse. Unscramble gives nothing
// for a text that is not the scramble of anything.
std::string ScrambleText(std::string_view plain);
std::optional<std::string> UnscrambleText(std::string_view scrambled);

}  // namespace modem
