#include "modem/cms_errors.h"

#include <string>

#include "modem/text_lines.h"

namespace modem {
namespace {

struct CmsMeaning {
  int code;
  const char* utf8;
};

constexpr CmsMeaning kMeanings[] = {
    // The network's causes (TS 24.011).
    {1, "nieprzydzielony numer"},
    {8, "blokada operatora"},
    {10, "połączenia zablokowane"},
    {21, "sieć odrzuciła wiadomość"},
    {27, "odbiorca niedostępny"},
    {28, "niezidentyfikowany abonent"},
    {29, "usługa odrzucona"},
    {30, "nieznany abonent"},
    {38, "sieć nie działa"},
    {41, "chwilowa awaria sieci"},
    {42, "przeciążenie sieci"},
    {47, "brak zasobów sieci"},
    {50, "usługa niewykupiona"},
    {69, "usługa niedostępna w sieci"},
    {81, "nieprawidłowy numer referencyjny wiadomości"},
    {95, "nieprawidłowa wiadomość"},
    {96, "brak wymaganych danych w wiadomości"},
    {111, "błąd protokołu"},
    {127, "błąd współpracy sieci"},
    // The modem's own (TS 27.005).
    {300, "awaria modemu"},
    {301, "usługa SMS modemu zajęta"},
    {302, "operacja niedozwolona"},
    {303, "operacja nieobsługiwana"},
    {304, "nieprawidłowy parametr trybu PDU"},
    {305, "nieprawidłowy parametr trybu tekstowego"},
    {310, "brak karty SIM"},
    {311, "wymagany PIN karty SIM"},
    {313, "awaria karty SIM"},
    {314, "karta SIM zajęta"},
    {320, "awaria pamięci"},
    {322, "pamięć pełna"},
    {330, "nieznany numer centrum SMS"},
    {331, "brak usługi sieci"},
    {332, "przekroczony czas oczekiwania na sieć"},
    {500, "nieznany błąd"},
};

}  // namespace

std::optional<int> CmsErrorCode(std::string_view answer) {
  const size_t at = answer.find("+CMS ERROR:");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view value = answer.substr(at + 11);
  value = value.substr(0, value.find_first_of("\r\n"));
  return ParseInt(TrimControl(value));
}

platform::AnsiString CmsErrorText(int code) {
  const std::string head = "kod +CMS " + std::to_string(code);
  for (const CmsMeaning& meaning : kMeanings) {
    if (meaning.code == code) return head + ": " + platform::Utf8ToAnsi(meaning.utf8);
  }
  return head;
}

}  // namespace modem
