#include "modem/send_causes.h"

#include <string>

namespace modem::send_cause {
namespace {

platform::AnsiString Text(const char* utf8) { return platform::Utf8ToAnsi(utf8); }

}  // namespace

platform::AnsiString NotRecorded() { return Text("nie udało się zapisać części przed wysłaniem"); }

platform::AnsiString Unsendable() {
  return Text("nieprawidłowy numer odbiorcy lub części nie da się wysłać");
}

platform::AnsiString EarlierPartNotSent(int partNumber) {
  return Text("część ") + std::to_string(partNumber) + Text(" tej wiadomości nie została wysłana");
}

platform::AnsiString NoPrompt() { return Text("modem nie zgłosił gotowości do przyjęcia wiadomości (brak znaku >)"); }

platform::AnsiString NoAnswer() { return Text("brak odpowiedzi sieci w wyznaczonym czasie"); }

platform::AnsiString NoNetworkAnswer() { return Text("brak odpowiedzi sieci - wiadomość mogła zostać wysłana"); }

platform::AnsiString LinkLostAfterSubmission() {
  return Text("modem odłączył się przed odpowiedzią sieci - wiadomość mogła zostać wysłana");
}

platform::AnsiString EarlierPartUncertain(int partNumber) {
  return Text("nie wiadomo, czy część ") + std::to_string(partNumber) + Text(" tej wiadomości została wysłana");
}

platform::AnsiString ErrorAnswer() { return Text("modem odrzucił wiadomość (ERROR)"); }

platform::AnsiString LinkError(std::string_view linkErrorText) {
  return Text("błąd łącza z modemem: ") + std::string(linkErrorText);
}

}  // namespace modem::send_cause
