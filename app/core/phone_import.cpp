#include "app/core/phone_import.h"

#include <filesystem>

#include "app/core/cell_text.h"
#include "app/core/import_input_file.h"
#include "app/window/zo_tools.h"
#include "platform/clock.h"
#include "xls/cell_heap.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/worksheet.h"

namespace app {

namespace {

constexpr int kNumberLength = 9;
// Longest time the reading loop keeps the window from its events.
constexpr std::int64_t kPumpIntervalMs = 20;
const AnsiString kErrorCaption = Ansi(" BŁĄD !");
// The texts of every row, converted once.
const AnsiString kCorrectedAt = Ansi("Pozycja [A");
const AnsiString kCorrectedWrong = Ansi("] - wykryto niepoprawny nr tel: ");
const AnsiString kCorrectedTo = Ansi(" ---> po korekcie: ");
const AnsiString kMarkCorrected = Ansi("korekta na");
const AnsiString kProgressAt = Ansi("Pozycja: A[");
const AnsiString kProgressNumber = Ansi("nr. tel: ");
const AnsiString kMarkRepeat = Ansi("duplikat");
const AnsiString kMarkRejected = Ansi("BŁĄD!");

std::string Number(int value) { return std::to_string(value); }

void ShowCount(TLabel& label, TLabel& caption, int count) {
  label.SetCaption(Number(count));
  label.SetEnabled(true);
  caption.SetEnabled(true);
}

}  // namespace

struct TPhoneImport::Counters {
  int loaded = 0;
  int corrected = 0;
  int rejected = 0;
};

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

void TPhoneImport::ResetCounters() {
  const TfrmMainView& v = t_.view;
  for (TLabel* label : {v.lbWszystkie, v.lbDuplikaty, v.lbBledy, v.lbKorekty, v.lbPrawidlowe}) label->SetCaption("0");
  for (TLabel* label : {v.lbDuplikaty, v.lbBledy, v.lbKorekty, v.lbPrawidlowe, v.lbDuplikaty0, v.lbBledy0,
                        v.lbKorekty0, v.lbPrawidlowe0}) {
    label->SetEnabled(false);
  }
  v.Gauge1->SetProgress(0);
  v.BitBtn3->SetEnabled(false);
  v.Gauge1->SetVisible(false);
}

TImportResult TPhoneImport::Run(const std::string& path, bool excludeDuplicates) {
  TImportResult result;
  const TfrmMainView& v = t_.view;
  v.StatusBar1->SetPanelText(3, "");

  // The file is read before anything of the window changes: a file that
  // cannot be read leaves the number list, the result workbook and the file
  // itself as they were.
  TInputWorkbook input;
  input.path = path;
  AnsiString reason;
  if (!OpenInputWorkbook(input, reason)) {
    ReportFailure(Ansi("Nie można wczytać pliku ") + platform::Utf8ToAnsi(path) + ": " + reason, result);
    return result;
  }

  t_.inputFilePath = path;
  t_.resultFilePath = ResultFilePathFor(path);
  // The result is a BIFF8 workbook: from an .xlsx or a text list it gets the
  // .xls extension rather than a name that misstates its content.
  const xls::FileFormat read = input.book.FormatRead();
  if (read == xls::FileFormat::Xlsx || read == xls::FileFormat::Text)
    t_.resultFilePath = std::filesystem::path(t_.resultFilePath).replace_extension(".xls").string();
  t_.result.Discard();
  t_.result.Create();

  TLogView& log = *v.LogMemo;
  log.Clear();
  log.AppendLine("");
  log.AppendLine(Ansi("Import danych z arkusza excel"));
  log.AppendLine(Ansi("Wybrany plik: ") + platform::Utf8ToAnsi(path));
  log.AppendLine(Ansi("Próba wczytania telefonów od pozycji [A1]"));
  log.AppendLine(Ansi("Pozycja: 0"));

  t_.numberList.Clear();
  t_.telList.Clear();
  t_.numberList.SetExcludeDuplicates(excludeDuplicates);

  Counters counters;
  ReadRows(*input.sheet, counters);
  Finish(counters, result);

  const TWriteBack written = WriteInputBack(input);
  const AnsiString file = platform::Utf8ToAnsi(path);
  switch (written.kind) {
    case TWriteBack::TKind::Saved:
      result.inputSaved = true;
      if (!written.backupPath.empty()) {
        AppendLogLine(log, Ansi("Oryginał pliku zachowano jako: ") + platform::Utf8ToAnsi(written.backupPath), 0, 9,
                      "Tahoma", TLogFontStyle::Regular, clGray);
      }
      if (!written.copyPath.empty()) {
        AppendLogLine(log, Ansi("Oznaczoną kopię pliku zapisano jako: ") + platform::Utf8ToAnsi(written.copyPath), 0,
                      9, "Tahoma", TLogFontStyle::Regular, clGray);
      } else {
        AppendLogLine(log, Ansi("Zapisano oznaczony plik: ") + file, 0, 9, "Tahoma", TLogFontStyle::Regular, clGray);
      }
      break;
    case TWriteBack::TKind::LeftEncrypted:
      AppendLogLine(log, Ansi("Plik jest zaszyfrowany, więc nie został nadpisany oznaczoną kopią: ") + file, 0, 9,
                    "Tahoma", TLogFontStyle::Regular, clRed);
      break;
    case TWriteBack::TKind::BackupFailed:
      ReportFailure(Ansi("Nie zapisano oznaczonego pliku ") + file + Ansi(": nie udało się zachować oryginału (") +
                        platform::Utf8ToAnsi(written.error) + ")",
                    result);
      break;
    case TWriteBack::TKind::SaveFailed:
      ReportFailure(Ansi("Nie udało się zapisać oznaczonego pliku ") +
                        (written.copyPath.empty() ? file : platform::Utf8ToAnsi(written.copyPath)) + " (kod " +
                        Number(written.saveResult) + ")",
                    result);
      break;
  }
  result.imported = true;
  return result;
}

void TPhoneImport::ReadRows(xls::IXLSWorksheet& sheet, Counters& counters) {
  // The window handles its events after the first row and then whenever a
  // moment has passed: input and timers stay prompt, and a long sheet is not
  // slowed down by tens of thousands of repaints of the window.
  // Between those moments the log's changes are gathered and shown at once.
  TLogView& log = *t_.view.LogMemo;
  std::int64_t lastPump = 0;
  bool pumped = false;
  log.BeginUpdate();
  // Column A is read down to its first empty cell, or to the sheet's last row.
  for (int row = 1; row <= xls::kRowCount; ++row) {
    if (sheet.Cells()->Item(row, 1)->Value().IsNull()) break;
    ReadRow(sheet, row, counters);
    if (!t_.processEvents) continue;
    const std::int64_t now = platform::TickCountMs();
    if (!pumped || now - lastPump >= kPumpIntervalMs) {
      log.EndUpdate();
      t_.processEvents();
      log.BeginUpdate();
      lastPump = now;
      pumped = true;
    }
  }
  log.EndUpdate();
}

void TPhoneImport::ReadRow(xls::IXLSWorksheet& sheet, int row, Counters& counters) {
  const TfrmMainView& v = t_.view;
  const xls::IXLSRange cells = sheet.Cells();
  const xls::IXLSRange cellA = cells->Item(row, 1);
  const xls::IXLSInterior fill = cellA->Interior();
  TImportRow report;
  report.row = row;
  report.textRead = ValueToText(cellA->Value());
  AnsiString text = report.textRead;
  const auto write = [&](int column, const AnsiString& value, std::optional<AnsiString>& reported) {
    cells->Item(row, column)->SetValue(xls::Variant::AnsiText(value));
    reported = value;
  };

  if (text.size() > kNumberLength) {
    text.erase(0, text.size() - kNumberLength);
    InsertBeforeProgress(kCorrectedAt + Number(row) + kCorrectedWrong + report.textRead + kCorrectedTo + text);
    fill->SetColorIndex(kFillCorrected);
    write(2, kMarkCorrected, report.b);
    write(3, text, report.c);
    report.corrected = true;
    ++counters.corrected;
  }
  report.text = text;

  const bool green = fill->ColorIndex() == kFillSent;
  if (!green && text.size() == kNumberLength) {
    const bool grew = t_.numberList.Add(ListRecipient(text, 0, report.textRead));
    SetProgress(kProgressAt + Number(row + 1) + "]" + std::string(16, ' ') + kProgressNumber + text);
    if (fill->ColorIndex() != kFillCorrected) fill->SetColorIndex(xls::xlNone);
    report.outcome = TImportOutcome::Accepted;
    if (!grew) {
      fill->SetColorIndex(kFillRepeat);
      write(2, kMarkRepeat, report.b);
      report.outcome = TImportOutcome::Repeat;
    }
    if (counters.loaded - t_.numberList.Count() > 0) {
      v.lbDuplikaty->SetCaption(Number(counters.loaded - t_.numberList.Count()));
    }
    ++counters.loaded;
  } else if (green) {
    report.outcome = TImportOutcome::Skipped;
  } else {
    fill->SetColorIndex(kFillRejected);
    write(2, kMarkRejected, report.b);
    report.outcome = TImportOutcome::Rejected;
    ++counters.rejected;
  }
  if (counters.rejected > 0) v.lbBledy->SetCaption(Number(counters.rejected));

  if (OnRow) {
    report.fill = fill->ColorIndex();
    OnRow(report);
  }
}

void TPhoneImport::Finish(Counters& counters, TImportResult& result) {
  const TfrmMainView& v = t_.view;
  TLogView& log = *v.LogMemo;
  const int listSize = t_.numberList.Count();
  const int duplicates = counters.loaded - listSize;
  result.loaded = counters.loaded;
  result.corrected = counters.corrected;
  result.rejected = counters.rejected;
  result.duplicates = duplicates;

  SetProgress(Ansi("Import zakończony, ilość wczytanych numerów: ") + Number(counters.loaded));
  v.lbWszystkie->SetCaption(Number(counters.loaded));
  log.AppendLine(Ansi("Analiza i odrzucanie duplikatów..."));
  log.SetInsertionColor(clFuchsia);
  log.AppendLine(Ansi("Ilość wykrytych duplikatów: ") + Number(duplicates));

  if (duplicates > 0) ShowCount(*v.lbDuplikaty, *v.lbDuplikaty0, duplicates);
  if (counters.rejected > 0) ShowCount(*v.lbBledy, *v.lbBledy0, counters.rejected);
  if (counters.corrected > 0) ShowCount(*v.lbKorekty, *v.lbKorekty0, counters.corrected);
  if (listSize > 0) {
    ShowCount(*v.lbPrawidlowe, *v.lbPrawidlowe0, listSize);
    WriteResultFile(result);
  }

  log.AppendLine(" ");
  if (counters.rejected > 0) {
    AppendLogLine(log,
                  Ansi("W pliku XLS pozycje błędne zaznaczone są na CZERWONO, pozycje skorygowane na POMARAŃCZOWO"),
                  0, 9, "Tahoma", TLogFontStyle::Regular, clRed);
  }
  log.AppendLine(" ");
  log.SetInsertionColor(clBlue);
  log.SetInsertionBold(true);
  log.AppendLine(Ansi("Ilość prawidłowych, nie powtarzających się pozycji: ") + Number(listSize));
  v.lbPrawidlowe->SetCaption(Number(listSize));
  AppendLogLine(log, Ansi("Koniec importu"), 0, 9, "Tahoma", TLogFontStyle::Regular, clGray);
  if (!result.resultFile.empty()) {
    AppendLogLine(log, Ansi("Zapisano plik wynikowy: ") + platform::Utf8ToAnsi(result.resultFile), 0, 9, "Tahoma",
                  TLogFontStyle::Regular, clGray);
  }

  if (listSize > 0) {
    ShowPhoneList();
    v.BitBtn3->SetEnabled(true);
    v.Gauge1->SetRange(v.Gauge1->MinValue(), listSize);
  }
}

void TPhoneImport::WriteResultFile(TImportResult& result) {
  t_.result.WriteList(t_.numberList);
  const int saved = t_.result.SaveAs(t_.resultFilePath);
  if (saved == xls::kSaveOk) {
    result.resultFile = t_.resultFilePath;
    return;
  }
  ReportFailure(Ansi("Nie udało się zapisać pliku wynikowego ") + platform::Utf8ToAnsi(t_.resultFilePath) +
                    " (kod " + Number(saved) + ")",
                result);
}

void TPhoneImport::ShowPhoneList() {
  t_.telList.Fill(t_.numberList.Numbers());
  t_.telList.ShowAt(10, 10);
  t_.telList.SelectHeader();
}

void TPhoneImport::InsertBeforeProgress(const AnsiString& line) {
  TLogView& log = *t_.view.LogMemo;
  log.InsertLine(log.LineCount() - 1, line);
}

void TPhoneImport::SetProgress(const AnsiString& line) {
  TLogView& log = *t_.view.LogMemo;
  log.ReplaceLine(log.LineCount() - 1, line);
}

// A failure is said twice: in red in the log, where it stays, and in an
// error box the user must acknowledge.
void TPhoneImport::ReportFailure(const AnsiString& text, TImportResult& result) {
  AppendLogLine(*t_.view.LogMemo, text, 0, 9, "Tahoma", TLogFontStyle::Regular, clRed);
  ErrorBox(text, kErrorCaption);
  if (result.error.empty()) result.error = text;
}

}  // namespace app
