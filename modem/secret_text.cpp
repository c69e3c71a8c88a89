#include "modem/secret_text.h"

#include <array>
#include <cstdint>

#include "modem/text_lines.h"

namespace modem {
namespace {

// Base64: every character is in the basic GSM 7-bit alphabet.
constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DigitValue(char c) {
  static const std::array<int, 256> values = [] {
    std::array<int, 256> table;
    table.fill(-1);
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kDigits[i])] = i;
    return table;
  }();
  return values[static_cast<unsigned char>(c)];
}

// The key stream: the same octets on both sides, from a fixed seed.
class KeyStream {
 public:
  std::uint8_t Next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<std::uint8_t>(state_ >> 16);
  }

 private:
  std::uint32_t state_ = 0x5A17A9E5u;
};

std::uint8_t CheckOctet(std::string_view plain) {
  std::uint8_t check = static_cast<std::uint8_t>(plain.size());
  for (unsigned char c : plain) check = static_cast<std::uint8_t>((check << 1 | check >> 7) ^ c);
  return check;
}

std::string ToBase64(std::string_view octets) {
  std::string text;
  for (size_t i = 0; i < octets.size(); i += 3) {
    std::uint32_t group = 0;
    const size_t count = std::min<size_t>(3, octets.size() - i);
    for (size_t k = 0; k < 3; ++k) {
      group = group << 8 | (k < count ? static_cast<unsigned char>(octets[i + k]) : 0u);
    }
    for (size_t k = 0; k < 4; ++k) text.push_back(k <= count ? kDigits[(group >> (18 - 6 * k)) & 63] : '=');
  }
  return text;
}

std::optional<std::string> FromBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string octets;
  for (size_t i = 0; i < text.size(); i += 4) {
    std::uint32_t group = 0;
    size_t padding = 0;
    for (size_t k = 0; k < 4; ++k) {
      const char c = text[i + k];
      const bool last = i + 4 == text.size();
      if (c == '=' && last && k >= 2) {
        ++padding;
        group <<= 6;
        continue;
      }
      const int value = DigitValue(c);
      if (value < 0 || padding > 0) return std::nullopt;
      group = group << 6 | static_cast<std::uint32_t>(value);
    }
    for (size_t k = 0; k < 3 - padding; ++k) octets.push_back(static_cast<char>((group >> (16 - 8 * k)) & 0xFF));
  }
  return octets;
}

}  // namespace

std::string SecretPin(std::string_view pin) {
  if (TrimControl(pin).empty()) return "    ";
  std::string four(pin.substr(0, 4));
  four.resize(4, ' ');
  return four;
}

std::string SecretMessageText(std::string_view text, std::string_view pin) {
  return "66" + ScrambleText(SecretPin(pin) + std::string(text.substr(0, kSecretTextMaxLength))) + "BB";
}

std::string ScrambleText(std::string_view plain) {
  std::string octets(plain);
  octets.push_back(static_cast<char>(CheckOctet(plain)));
  // Each octet also depends on the one before it, so that repeated letters
  // do not show as repeated characters.
  KeyStream key;
  std::uint8_t previous = 0;
  for (char& c : octets) {
    previous = static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) ^ key.Next() ^ previous);
    c = static_cast<char>(previous);
  }
  return ToBase64(octets);
}

std::optional<std::string> UnscrambleText(std::string_view scrambled) {
  std::optional<std::string> octets = FromBase64(scrambled);
  if (!octets || octets->empty()) return std::nullopt;
  KeyStream key;
  std::uint8_t previous = 0;
  for (char& c : *octets) {
    const std::uint8_t cipher = static_cast<std::uint8_t>(c);
    c = static_cast<char>(cipher ^ key.Next() ^ previous);
    previous = cipher;
  }
  const std::uint8_t check = static_cast<std::uint8_t>(octets->back());
  octets->pop_back();
  if (CheckOctet(*octets) != check) return std::nullopt;
  return octets;
}

}  // namespace modem
