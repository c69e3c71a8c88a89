#include "app/core/phone_import.h"

#include <filesystem>

#include "app/core/cell_text.h"
#include "app/core/import_input_file.h"
#include "app/core/input_file_guard.h"
#include "app/core/phone_number.h"
#include "platform/clock.h"
#include "xls/cell_heap.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/worksheet.h"

namespace app {

namespace {

// Longest time the reading loop keeps the window from its events.
constexpr std::int64_t kPumpIntervalMs = 20;
// The texts of every row, converted once.
const AnsiString kCorrectedAt = Ansi("Pozycja [A");
const AnsiString kCorrectedWrong = Ansi("] - wykryto niepoprawny nr tel: ");
const AnsiString kCorrectedTo = Ansi(" ---> po korekcie: ");
const AnsiString kMarkCorrected = Ansi("korekta na");
const AnsiString kProgressAt = Ansi("Pozycja: A[");
const AnsiString kProgressNumber = Ansi("nr. tel: ");
const AnsiString kMarkRepeat = Ansi("duplikat");
const AnsiString kMarkRejected = Ansi("BŁĄD!");
const AnsiString kSkippedUncertain = Ansi("] - pominięto nr tel: ");
const AnsiString kSkippedWhy =
    Ansi(" - żółte pole: wiadomość mogła już zostać wysłana (brak odpowiedzi modemu), nie zostanie wysłana ponownie");

std::string Number(int value) { return std::to_string(value); }

// The import's log as it grows: lines appended, and while the rows are read
// a progress line that stays last.
class ImportLog {
 public:
  explicit ImportLog(TImportResult& result) : r_(result) {}
  void Add(const AnsiString& text, TImportLineStyle style = TImportLineStyle::Plain) {
    r_.log.push_back({text, style});
  }
  void StartProgress(const AnsiString& text) {
    r_.progressLine = static_cast<int>(r_.log.size());
    Add(text);
  }
  void InsertBeforeProgress(const AnsiString& text) {
    r_.log.insert(r_.log.begin() + r_.progressLine, {text, TImportLineStyle::Plain});
    ++r_.progressLine;
  }
  void SetProgress(const AnsiString& text) { r_.log[r_.progressLine].text = text; }
  // A failure is said twice: in red in the log, where it stays, and in an
  // error box the user must acknowledge.
  void Fail(const AnsiString& text) {
    Add(text, TImportLineStyle::Alert);
    r_.errors.push_back(text);
  }

 private:
  TImportResult& r_;
};

void ReadRow(xls::IXLSWorksheet& sheet, int row, TImportResult& result, ImportLog& log) {
  TImportCounters& counters = result.counters;
  const xls::IXLSRange cells = sheet.Cells();
  const xls::IXLSRange cellA = cells->Item(row, 1);
  const xls::IXLSInterior fill = cellA->Interior();
  TImportRow report;
  report.row = row;
  report.textRead = ValueToText(cellA->Value());
  // What was written, as it stands: a cell inside a merged area keeps no value.
  const auto write = [&](int column, const AnsiString& value, std::optional<AnsiString>& reported) {
    const xls::IXLSRange cell = cells->Item(row, column);
    cell->SetValue(xls::Variant::AnsiText(value));
    if (!cell->Value().IsNull()) reported = value;
  };

  // A yellow row's message may have reached its number (its answer was
  // lost): sending it again is the operator's choice, never the import's.
  if (fill->ColorIndex() == kFillUncertain) {
    log.InsertBeforeProgress(kCorrectedAt + Number(row) + kSkippedUncertain + report.textRead + kSkippedWhy);
    report.text = report.textRead;
    report.outcome = TImportOutcome::Skipped;
    report.fill = kFillUncertain;
    result.rows.push_back(std::move(report));
    return;
  }
  const std::optional<std::string> number = NationalNumberOf(report.textRead);
  if (number && *number != report.textRead) {
    log.InsertBeforeProgress(kCorrectedAt + Number(row) + kCorrectedWrong + report.textRead + kCorrectedTo + *number);
    fill->SetColorIndex(kFillCorrected);
    write(2, kMarkCorrected, report.b);
    write(3, *number, report.c);
    report.corrected = true;
    ++counters.corrected;
  }
  const AnsiString text = number.value_or(report.textRead);
  report.text = text;

  const bool green = fill->ColorIndex() == kFillSent;
  if (!green && number) {
    const bool grew = result.numbers.Add(ListRecipient(text, 0, report.textRead));
    counters.listed = result.numbers.Count();
    log.SetProgress(kProgressAt + Number(row + 1) + "]" + std::string(16, ' ') + kProgressNumber + text);
    if (fill->ColorIndex() != kFillCorrected) fill->SetColorIndex(xls::xlNone);
    report.outcome = TImportOutcome::Accepted;
    if (!grew) {
      fill->SetColorIndex(kFillRepeat);
      write(2, kMarkRepeat, report.b);
      report.outcome = TImportOutcome::Repeat;
    }
    if (counters.loaded - counters.listed > 0) counters.repeatsSoFar = counters.loaded - counters.listed;
    ++counters.loaded;
  } else if (green) {
    report.outcome = TImportOutcome::Skipped;
  } else {
    fill->SetColorIndex(kFillRejected);
    write(2, kMarkRejected, report.b);
    report.outcome = TImportOutcome::Rejected;
    ++counters.rejected;
  }
  report.fill = fill->ColorIndex();
  result.rows.push_back(std::move(report));
}

void WriteResultFile(TImportResult& result, ImportLog& log) {
  result.resultBook.WriteList(result.numbers);
  const int saved = result.resultBook.SaveAs(result.resultPath);
  if (saved == xls::kSaveOk) {
    result.resultFile = result.resultPath;
    result.filesWritten.push_back(result.resultPath);
    return;
  }
  log.Fail(Ansi("Nie udało się zapisać pliku wynikowego ") + platform::Utf8ToAnsi(result.resultPath) + ": " +
           SaveFailureReason(saved, result.resultPath));
}

void Summarise(TImportResult& result, ImportLog& log) {
  const TImportCounters& counters = result.counters;
  log.SetProgress(Ansi("Import zakończony, ilość wczytanych numerów: ") + Number(counters.loaded));
  log.Add(Ansi("Analiza i odrzucanie duplikatów..."));
  log.Add(Ansi("Ilość wykrytych duplikatów: ") + Number(counters.Duplicates()), TImportLineStyle::Repeats);
  if (counters.listed > 0) WriteResultFile(result, log);
  log.Add(" ");
  if (counters.rejected > 0) {
    log.Add(Ansi("W pliku XLS pozycje błędne zaznaczone są na CZERWONO, pozycje skorygowane na POMARAŃCZOWO"),
            TImportLineStyle::Alert);
  }
  log.Add(" ");
  log.Add(Ansi("Ilość prawidłowych, nie powtarzających się pozycji: ") + Number(counters.listed),
          TImportLineStyle::Total);
  log.Add(Ansi("Koniec importu"), TImportLineStyle::Note);
  if (!result.resultFile.empty()) {
    log.Add(Ansi("Zapisano plik wynikowy: ") + platform::Utf8ToAnsi(result.resultFile), TImportLineStyle::Note);
  }
}

void SaveMarkedInput(TInputWorkbook& input, TImportResult& result, ImportLog& log) {
  const TWriteBack written = WriteInputBack(input);
  const AnsiString file = platform::Utf8ToAnsi(input.path);
  switch (written.kind) {
    case TWriteBack::TKind::Saved:
      result.inputSaved = true;
      result.filesWritten.push_back(written.keptCopyPath);
      log.Add(Ansi("Kopię pliku sprzed oznaczenia zachowano jako: ") + platform::Utf8ToAnsi(written.keptCopyPath),
              TImportLineStyle::Note);
      if (!written.backupPath.empty()) {
        result.filesWritten.push_back(written.backupPath);
        log.Add(Ansi("Oryginał pliku zachowano jako: ") + platform::Utf8ToAnsi(written.backupPath),
                TImportLineStyle::Note);
      }
      if (!written.copyPath.empty()) {
        result.filesWritten.push_back(written.copyPath);
        log.Add(Ansi("Oznaczoną kopię pliku zapisano jako: ") + platform::Utf8ToAnsi(written.copyPath),
                TImportLineStyle::Note);
      } else {
        result.filesWritten.push_back(input.path);
        log.Add(Ansi("Zapisano oznaczony plik: ") + file, TImportLineStyle::Note);
      }
      break;
    case TWriteBack::TKind::LeftEncrypted:
      log.Add(Ansi("Plik jest zaszyfrowany, więc nie został nadpisany oznaczoną kopią: ") + file,
              TImportLineStyle::Alert);
      break;
    case TWriteBack::TKind::BackupFailed:
      log.Fail(Ansi("Nie zapisano oznaczonego pliku ") + file + Ansi(": nie udało się zachować oryginału (") +
               platform::Utf8ToAnsi(written.error) + ")");
      break;
    case TWriteBack::TKind::SaveFailed:
      log.Fail(Ansi("Nie udało się zapisać oznaczonego pliku ") +
               (written.copyPath.empty() ? file : platform::Utf8ToAnsi(written.copyPath)) + ": " +
               SaveFailureReason(written.saveResult, written.copyPath.empty() ? input.path : written.copyPath));
      break;
  }
}

}  // namespace

std::string ResultFilePathFor(const std::string& inputPath) {
  const std::size_t nameStart = inputPath.find_last_of('/') + 1;  // 0 without a folder
  const std::size_t dot = inputPath.find('.', nameStart);
  if (dot == std::string::npos) return inputPath + "_out.";
  std::string left = inputPath.substr(0, dot);
  std::string right = inputPath.substr(dot + 1);
  while (!left.empty() && left.back() == ' ') left.pop_back();
  right.erase(0, right.find_first_not_of(' ') == std::string::npos ? right.size() : right.find_first_not_of(' '));
  return left + "_out." + right;
}

void ReadPhoneNumbers(xls::IXLSWorksheet& sheet, const TImportOptions& options, TImportResult& result,
                      TImportProgress* progress) {
  ImportLog log(result);
  result.numbers.Clear();
  result.numbers.SetExcludeDuplicates(options.excludeDuplicates);
  if (result.progressLine < 0) log.StartProgress(Ansi("Pozycja: 0"));
  // The window is told after the first row and then whenever a moment has
  // passed: input and timers stay prompt, and a long sheet is not slowed
  // down by tens of thousands of repaints of the window.
  std::int64_t lastTold = 0;
  bool told = false;
  // Column A is read down to its first empty cell, or to the sheet's last row.
  for (int row = 1; row <= xls::kRowCount; ++row) {
    if (sheet.Cells()->Item(row, 1)->Value().IsNull()) break;
    ReadRow(sheet, row, result, log);
    if (progress == nullptr) continue;
    const std::int64_t now = platform::TickCountMs();
    if (!told || now - lastTold >= kPumpIntervalMs) {
      progress->Reading(result);
      lastTold = now;
      told = true;
    }
  }
}

TImportResult ImportPhoneNumbers(const std::string& path, const TImportOptions& options, TImportProgress* progress) {
  TImportResult result;
  ImportLog log(result);
  // The file is read before anything else: a file that cannot be read
  // leaves the number list, the result workbook and the file itself as
  // they were.
  TInputWorkbook input;
  input.path = path;
  AnsiString reason;
  if (const std::optional<AnsiString> held = HeldByAnotherProgram(path)) {
    log.Fail(Ansi("Nie można wczytać pliku ") + platform::Utf8ToAnsi(path) + ": " + *held);
    return result;
  }
  if (!OpenInputWorkbook(input, reason)) {
    log.Fail(Ansi("Nie można wczytać pliku ") + platform::Utf8ToAnsi(path) + ": " + reason);
    return result;
  }

  result.inputPath = path;
  result.resultPath = ResultFilePathFor(path);
  // The result is a BIFF8 workbook: from an .xlsx or a text list it gets the
  // .xls extension rather than a name that misstates its content.
  const xls::FileFormat read = input.book.FormatRead();
  if (read == xls::FileFormat::Xlsx || read == xls::FileFormat::Text)
    result.resultPath = std::filesystem::path(result.resultPath).replace_extension(".xls").string();
  result.resultPath = ResultPathKeepingMarks(result.resultPath);
  result.resultBook.Create();

  log.Add("");
  log.Add(Ansi("Import danych z arkusza excel"));
  log.Add(Ansi("Wybrany plik: ") + platform::Utf8ToAnsi(path));
  log.Add(Ansi("Próba wczytania telefonów od pozycji [A1]"));
  log.StartProgress(Ansi("Pozycja: 0"));

  ReadPhoneNumbers(*input.sheet, options, result, progress);
  Summarise(result, log);
  SaveMarkedInput(input, result, log);
  result.imported = true;
  return result;
}

}  // namespace app
