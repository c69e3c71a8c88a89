#include "app/core/import_input_file.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "app/core/input_file_guard.h"
#include "platform/atomic_file.h"
#include "platform/read_file.h"
#include "xls/result_codes.h"
#include "xls/text_list_reader.h"

namespace app {

namespace {

namespace fs = std::filesystem;

bool LooksLikeXlsx(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const bool zip = bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K';
  std::string extension = fs::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return zip || extension == ".xlsx";
}

// A compound file, the container of every .xls since BIFF5: one that cannot
// be read as a workbook is a damaged one, not a foreign file.
bool LooksLikeCompoundFile(const std::vector<std::uint8_t>& bytes) {
  static constexpr std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  return bytes.size() >= sizeof kSignature && std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin());
}

AnsiString ReasonOfOpenResult(const TInputWorkbook& input) {
  switch (input.openResult) {
    case xls::kOpenNotWorkbook:
      if (LooksLikeXlsx(input.path, input.bytes)) return Ansi("plik XLSX jest uszkodzony");
      if (LooksLikeCompoundFile(input.bytes)) return Ansi("plik XLS jest uszkodzony");
      return Ansi("to nie jest arkusz kalkulacyjny ani lista tekstowa");
    case xls::kOpenTooLarge:
      return Ansi("plik jest uszkodzony: jego część po rozpakowaniu ma nieprawdopodobny rozmiar");
    case xls::kOpenTooDeep:
      return Ansi("plik jest uszkodzony: jego XML jest zbyt głęboko zagnieżdżony lub deklaruje typ dokumentu");
    case xls::kOpenEntryMissing:
      return Ansi("plik jest uszkodzony: brakuje części skoroszytu");
    case xls::kOpenEncryptedPackage:
      return Ansi("plik jest zabezpieczony hasłem");
    case xls::kOpenCorrupt:
      return LooksLikeXlsx(input.path, input.bytes)
                 ? Ansi("plik XLSX jest uszkodzony")
                 : Ansi("plik jest uszkodzony lub zapisany w nieobsługiwanej wersji formatu XLS");
    case xls::kFilePassNeedsPassword:
    case xls::kFilePassWrongPassword:
      return Ansi("plik jest zabezpieczony hasłem");
    case xls::kFilePassTooShort:
    case xls::kFilePassUnknownType:
    case xls::kFilePassPasswordTooLong:
      return Ansi("plik jest zaszyfrowany w nieobsługiwany sposób");
    default:
      return Ansi("błąd odczytu skoroszytu (kod ") + std::to_string(input.openResult) + ")";
  }
}

xls::IXLSWorksheet* FirstWorksheet(const xls::TXLSWorkbook& book) {
  for (int i = 1; i <= book.Worksheets().Count(); ++i) {
    xls::IXLSWorksheet* sheet = book.Worksheets().Entries(i);
    if (sheet->Type() == xls::SheetType::Worksheet) return sheet;
  }
  return nullptr;
}

}  // namespace

bool OpenInputWorkbook(TInputWorkbook& input, AnsiString& reason) {
  std::string error;
  std::error_code ec;
  if (!fs::exists(input.path, ec)) {
    reason = Ansi("plik nie istnieje");
    return false;
  }
  const std::optional<std::string> contents = platform::ReadWholeFile(input.path, &error);
  if (!contents || !error.empty()) {
    reason = Ansi("nie można odczytać pliku: ") + platform::Utf8ToAnsi(error);
    return false;
  }
  input.bytes.assign(contents->begin(), contents->end());
  input.openResult = input.book.OpenBytes(input.bytes);
  // Neither a spreadsheet nor damaged: a list kept as text (CSV, .txt).
  if (input.openResult == xls::kOpenNotWorkbook && xls::LooksLikeTextList(input.bytes))
    input.openResult = xls::ReadTextList(input.book, input.bytes);
  // A file whose stream ends inside a sheet gave every sheet it holds.
  if (input.openResult != xls::kOpenOk && input.openResult != xls::kOpenUnfinished) {
    reason = ReasonOfOpenResult(input);
    return false;
  }
  input.book.SetLastPath(platform::Utf8ToUtf16(input.path));
  input.sheet = FirstWorksheet(input.book);
  if (input.sheet == nullptr) {
    reason = Ansi("skoroszyt nie zawiera żadnego arkusza");
    return false;
  }
  // A list longer than a sheet: importing its first 65,536 rows would leave
  // the rest of the customers out without a word.
  if (input.sheet->RowsLeftOut()) {
    reason = Ansi("lista ma więcej niż 65536 wierszy, a arkusz mieści najwyżej tyle; podziel ją na mniejsze pliki");
    return false;
  }
  return true;
}

std::string BackupPathFor(const std::string& path) {
  const fs::path file(path);
  const std::string stem = (file.parent_path() / file.stem()).string();
  const std::string extension = file.extension().string();
  std::error_code ec;
  for (int n = 1;; ++n) {
    const std::string candidate = stem + ".orig" + (n == 1 ? std::string() : std::to_string(n)) + extension;
    if (!fs::exists(candidate, ec) && !ec) return candidate;
  }
}

std::string CopyPathFor(const std::string& path) {
  const fs::path file(path);
  const std::string stem = (file.parent_path() / file.stem()).string();
  std::error_code ec;
  for (int n = 1;; ++n) {
    const std::string candidate = stem + (n == 1 ? std::string() : "_" + std::to_string(n)) + ".xls";
    if (!fs::exists(candidate, ec) && !ec) return candidate;
  }
}

TWriteBack WriteInputBack(TInputWorkbook& input) {
  TWriteBack outcome;
  const xls::FileFormat format = input.book.FormatRead();
  if (format == xls::FileFormat::Xlsx || format == xls::FileFormat::Text) {
    outcome.copyPath = CopyPathFor(input.path);
    outcome.saveResult = input.book.SaveAs(outcome.copyPath);
    if (outcome.saveResult != xls::kSaveOk) outcome.kind = TWriteBack::TKind::SaveFailed;
    return outcome;
  }
  if (input.book.OpenedEncrypted()) {
    outcome.kind = TWriteBack::TKind::LeftEncrypted;
    return outcome;
  }
  const std::string_view original(reinterpret_cast<const char*>(input.bytes.data()), input.bytes.size());
  // Whatever the marks do to the file, the user can have it back as it was.
  const std::optional<std::string> kept = KeepDatedCopy(input.path, original, outcome.error);
  if (!kept) {
    outcome.kind = TWriteBack::TKind::BackupFailed;
    return outcome;
  }
  outcome.keptCopyPath = *kept;
  const bool incomplete = input.openResult == xls::kOpenUnfinished;
  if (incomplete || !input.book.SaveKeepsEverything()) {
    outcome.backupPath = BackupPathFor(input.path);
    if (!platform::WriteFileAtomically(outcome.backupPath, original, &outcome.error)) {
      outcome.kind = TWriteBack::TKind::BackupFailed;
      return outcome;
    }
  }
  outcome.saveResult = input.book.SaveAs(input.path);
  if (outcome.saveResult != xls::kSaveOk) outcome.kind = TWriteBack::TKind::SaveFailed;
  return outcome;
}

}  // namespace app
