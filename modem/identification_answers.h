#pragma once
// Reading the answers of the identification, storage and phonebook queries.
//
// Threads: pure functions, no shared state; safe from any thread (the engine
// reads the answers on its own).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace modem {

// Line `number` (from 1) of an answer; empty when it has fewer lines.
// Answers begin with CR LF, so the first line of a value is line 2.
std::string AnswerLine(std::string_view answer, size_t number);

// The firmware text of an "AT+CGMR" answer: a last line "OK" dropped,
// trailing blanks and line ends removed.
std::string RevisionText(std::string_view answer);

// The number an AT+CGSN or AT+CIMI answer gives (the modem's serial number,
// the SIM's subscriber identity): its first value line, a "+CGSN:" style
// label and quotes removed, when it is all digits and the answer ends in OK;
// empty otherwise (a modem that answers ERROR has none to give).
std::string IdentityNumber(std::string_view answer);

// "IMEI/IMSI", or the IMEI alone when there is no IMSI; empty without an IMEI.
std::string ModemIdentityText(const std::string& imei, const std::string& imsi);

struct StorageCount {
  int stored = 0;
  int capacity = 0;
};
// The first "+CPMS:" line: messages stored and capacity of the selected
// storage; a field that is not a number gives `notNumber`. Nothing when the
// answer has no such line.
std::optional<StorageCount> ReadStorageCount(std::string_view answer, int notNumber);

struct PhonebookRange {
  std::string upperIndex;  // as the modem wrote it
  int size = 1;
  int longestNumber = 0;
  int longestName = 0;
};
// The first "+CPBR" line of an "AT+CPBR=?" answer, e.g. +CPBR: (1-250),40,18;
// lengths that are not numbers give `notNumber`, a size that is not one 1.
std::optional<PhonebookRange> ReadPhonebookRange(std::string_view answer, int notNumber);

// Entries used, from the first "+CPBS" line of an "AT+CPBS?" answer (1 when
// not a number).
std::optional<int> ReadPhonebookUsed(std::string_view answer);

// Every "+CPBR:" entry line as index;number;name, the name read from
// hexadecimal UCS-2.
std::vector<std::string> ReadPhonebookEntries(std::string_view answer);

// Hexadecimal UCS-2 (big-endian, padded with "0" to whole characters) as
// Windows-1250 text; characters it cannot show become "?", and a pair of
// digits that is not hexadecimal ends the text.
std::string Ucs2HexToText(std::string_view hex);

}  // namespace modem
