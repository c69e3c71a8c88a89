#include "app/cli/numbers_in.h"

#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/core/phone_import.h"
#include "app/core/phone_number.h"
#include "modem/zogsm_settings.h"
#include "platform/codepage.h"

namespace cli {

bool TakeNumbers(const std::string& list, bool excludeDuplicates, app::TNumberList& numbers,
                 app::TResultWorkbook& results, std::string& error) {
  numbers.SetExcludeDuplicates(excludeDuplicates);
  std::stringstream in(list);
  if (list.find_first_not_of(", ") == std::string::npos) {
    error = "--numbers lists no number";
    return false;
  }
  for (std::string entry; std::getline(in, entry, ',');) {
    const size_t first = entry.find_first_not_of(' ');
    const size_t last = entry.find_last_not_of(' ');
    entry = first == std::string::npos ? std::string() : entry.substr(first, last - first + 1);
    const app::AnsiString number = platform::Utf8ToAnsi(entry);
    if (entry.empty()) {
      error = "--numbers has an empty place between two commas";
      return false;
    }
    if (number.size() != app::kNationalDigits) {
      error = "'" + entry + "': a number has nine characters (national number without " +
              std::string(modem::kCountryPrefix) + ")";
      return false;
    }
    numbers.Add(app::ListRecipient(number));
  }
  if (numbers.Empty()) {
    error = "--numbers holds no number";
    return false;
  }
  results.Create();
  results.WriteList(numbers);
  return true;
}

bool ImportNumbers(const std::string& file, bool excludeDuplicates, app::TNumberList& numbers,
                   app::TResultWorkbook& results, std::string& resultPath, std::string& error) {
  std::error_code ec;
  const app::TImportResult outcome =
      app::ImportPhoneNumbers(std::filesystem::absolute(file, ec).string(), {.excludeDuplicates = excludeDuplicates});
  // The import's log, but for its error: that is the command's own last word.
  for (const app::TImportLogLine& line : outcome.log) {
    if (outcome.imported || line.text != outcome.FirstError()) std::cerr << platform::AnsiToUtf8(line.text) << "\n";
  }
  if (!outcome.imported) {
    // The import's reason names the file ("Nie można wczytać pliku ...").
    error = outcome.errors.empty() ? "cannot import " + file : platform::AnsiToUtf8(outcome.FirstError());
    return false;
  }
  numbers = outcome.numbers;
  results = outcome.resultBook;
  resultPath = outcome.resultPath;
  if (numbers.Empty()) {
    error = file + " holds no number to send";
    return false;
  }
  return true;
}

}  // namespace cli
