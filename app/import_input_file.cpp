#include "app/import_input_file.h"

#include <filesystem>

#include "platform/atomic_file.h"
#include "xls/biff_reader.h"
#include "xls/decryption.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// The workbook's own account of what it read; older workbook models know
// nothing of encryption or of parts their copy would lose.
template <class Book>
bool OpenedEncrypted(const Book& book) {
  if constexpr (requires { book.OpenedEncrypted(); }) {
    return book.OpenedEncrypted();
  } else {
    return false;
  }
}
template <class Book>
bool SaveKeepsEverything(const Book& book) {
  if constexpr (requires { book.SaveKeepsEverything(); }) {
    return book.SaveKeepsEverything();
  } else {
    return true;
  }
}

bool LooksLikeXlsx(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const bool zip = bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K';
  std::string extension = fs::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return zip || extension == ".xlsx";
}

AnsiString ReasonOfOpenResult(const TInputWorkbook& input) {
  switch (input.openResult) {
    case -3:
      return LooksLikeXlsx(input.path, input.bytes)
                 ? Ansi("to plik w formacie XLSX, a program czyta tylko pliki XLS (Excel 97-2003)")
                 : Ansi("to nie jest plik XLS");
    case -1:
      return Ansi("plik jest uszkodzony lub zapisany w nieobsługiwanej wersji formatu XLS");
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

TWriteBack WriteInputBack(TInputWorkbook& input) {
  TWriteBack outcome;
  if (OpenedEncrypted(input.book)) {
    outcome.kind = TWriteBack::TKind::LeftEncrypted;
    return outcome;
  }
  const bool incomplete = input.openResult == xls::kOpenUnfinished;
  if (incomplete || !SaveKeepsEverything(input.book)) {
    outcome.backupPath = BackupPathFor(input.path);
    const std::string_view original(reinterpret_cast<const char*>(input.bytes.data()), input.bytes.size());
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
