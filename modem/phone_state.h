#pragma once
// What the engine learnt about the modem at the last connection: its
// identity and the sizes of its message storages and phonebooks.
//
// Threads: the component's TPhone is main-thread only; the engine fills it
// through the hand-over to the main thread.

#include <string>

namespace modem {

struct TPhoneMemory {
  int MessagesStored = 0;
  int MessageCapacity = 0;
  int PhoneBookSize = 0;
  int PhoneBookUsed = 0;
  int LongestNumber = 0;
  int LongestName = 0;
};

struct TPhone {
  std::string Manufacturer;  // at most 50 characters
  std::string Model;         // at most 50 characters
  std::string IMEI;          // at most 50 characters
  std::string Revision;      // at most 100 characters
  // "ATI0 -> ..." lines of the identification queries, appended at every connection.
  std::string Information;
  TPhoneMemory SIM;
  TPhoneMemory Phone;
};

}  // namespace modem
