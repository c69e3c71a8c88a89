#include "app/core/sms_filters.h"

#include <initializer_list>

#include "sms/text_preparation.h"

namespace app {
namespace {

struct Mapping {
  int output;
  std::initializer_list<unsigned char> inputs;
};

// Characters that both filters replace, by what they become.
constexpr Mapping kCommonMappings[] = {
    {'?', {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0B, 0x0E, 0x0F, 0x10, 0x11, 0x12,
           0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x60, 0x7F, 0x80,
           0x81, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8D, 0x8E, 0x90, 0x99, 0x9D, 0x9E, 0xA9, 0xAA, 0xAC, 0xAE,
           0xB0, 0xB1, 0xB6, 0xB7, 0xB8, 0xBA, 0xBC, 0xBD, 0xBE, 0xDE, 0xF0, 0xFE}},
    {'\'', {0x82, 0x8B, 0x91, 0x92, 0x98, 0x9B, 0xB4}},
    {'"', {0x84, 0x93, 0x94, 0xA8}},
    {'-', {0x96, 0x97, 0xAD}},
    {'*', {0x95, 0xD7}},
    {' ', {0xA0}},
    {'f', {0x83}},
    {'S', {0x8A}},
    {'s', {0x9A}},
    {'@', {0xA1}},
    {'c', {0xA2}},
    {'$', {0xA4}},
    {'!', {0xA6}},
    {'_', {0xA7}},
    {'<', {0xAB}},
    {'>', {0xBB}},
    {'2', {0xB2}},
    {'u', {0xB5, 0xFA, 0xFB}},
    {'A', {0xC0, 0xC1, 0xC2, 0xC3}},
    {'[', {0xC4}},
    {0x0E, {0xC5}},
    {0x09, {0xC7, 0xE7}},
    {0x1F, {0xC8, 0xC9, 0xCB}},
    {'I', {0xCC, 0xCD, 0xCE, 0xCF}},
    {'D', {0xD0}},
    {'O', {0xD2, 0xD4, 0xD5}},
    {'\\', {0xD6}},
    {0x0B, {0xD8}},
    {'U', {0xD9, 0xDA, 0xDB}},
    {'^', {0xDC}},
    {'Y', {0xDD}},
    {0x1E, {0xDF}},
    {0x7F, {0xE0}},
    {'a', {0xE1, 0xE2, 0xE3}},
    {'{', {0xE4}},
    {0x0F, {0xE5}},
    {0x04, {0xE8}},
    {0x05, {0xE9}},
    {'e', {0xEB}},
    {0x07, {0xEC, 0xED}},
    {'i', {0xEE, 0xEF}},
    {0x08, {0xF2}},
    {'o', {0xF4, 0xF5}},
    {'|', {0xF6}},
    {'/', {0xF7}},
    {0x0C, {0xF8}},
    {0x06, {0xF9}},
    {'~', {0xFC}},
    {'y', {0xFD, 0xFF}},
};

constexpr unsigned char kFormFeed = 0x0C;
constexpr int kEscapedLineFeed = 256 + 0x0A;

void Apply(FilterTable& table, const Mapping& mapping) {
  for (unsigned char input : mapping.inputs) table[input] = mapping.output;
}

// Identity, then the common replacements; the caller adds its own.
FilterTable CommonTable() {
  FilterTable table{};
  for (int i = 0; i < 256; ++i) table[i] = i;
  for (const Mapping& mapping : kCommonMappings) Apply(table, mapping);
  return table;
}

FilterTable BuildPolish() {
  FilterTable table = CommonTable();
  table[kFormFeed] = '?';
  return table;
}

// The Polish letters folded as every outgoing text folds them.
void FoldPolishLetters(FilterTable& table) {
  for (int i = 0; i < 256; ++i) {
    const char letter = static_cast<char>(i);
    const char plain = sms::Transliterate(std::string_view(&letter, 1)).front();
    if (plain != letter) table[i] = static_cast<unsigned char>(plain);
  }
}

FilterTable BuildPlain() {
  FilterTable table = CommonTable();
  FoldPolishLetters(table);
  table[kFormFeed] = kEscapedLineFeed;
  return table;
}

std::string Filter(const FilterTable& table, std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const int v = table[static_cast<unsigned char>(c)];
    if (v > 256) {
      out += '\x1B';
      out += static_cast<char>(v - 256);
    } else {
      out += static_cast<char>(v);
    }
  }
  return out;
}

}  // namespace

const FilterTable& SmsFilterPolishTable() {
  static const FilterTable table = BuildPolish();
  return table;
}

const FilterTable& SmsFilterPlainTable() {
  static const FilterTable table = BuildPlain();
  return table;
}

std::string SmsFilterPolish(std::string_view text) { return Filter(SmsFilterPolishTable(), text); }
std::string SmsFilterPlain(std::string_view text) { return Filter(SmsFilterPlainTable(), text); }

}  // namespace app
