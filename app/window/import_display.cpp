#include "app/window/import_display.h"

#include <string>
#include <utility>

#include "app/window/zo_tools.h"

namespace app {

namespace {

void ShowCount(TLabel& label, TLabel& caption, int count) {
  label.SetCaption(std::to_string(count));
  label.SetEnabled(true);
  caption.SetEnabled(true);
}

}  // namespace

void ResetPhoneCounters(const TfrmMainView& v) {
  for (TLabel* label : {v.lbWszystkie, v.lbDuplikaty, v.lbBledy, v.lbKorekty, v.lbPrawidlowe}) label->SetCaption("0");
  for (TLabel* label : {v.lbDuplikaty, v.lbBledy, v.lbKorekty, v.lbPrawidlowe, v.lbDuplikaty0, v.lbBledy0,
                        v.lbKorekty0, v.lbPrawidlowe0}) {
    label->SetEnabled(false);
  }
  v.Gauge1->SetProgress(0);
}

void ShowImportCounters(const TfrmMainView& v, const TImportCounters& counters) {
  v.lbWszystkie->SetCaption(std::to_string(counters.loaded));
  if (counters.Duplicates() > 0) ShowCount(*v.lbDuplikaty, *v.lbDuplikaty0, counters.Duplicates());
  if (counters.rejected > 0) ShowCount(*v.lbBledy, *v.lbBledy0, counters.rejected);
  if (counters.corrected > 0) ShowCount(*v.lbKorekty, *v.lbKorekty0, counters.corrected);
  v.lbPrawidlowe->SetCaption(std::to_string(counters.listed));
  if (counters.listed > 0) ShowCount(*v.lbPrawidlowe, *v.lbPrawidlowe0, counters.listed);
}

TImportDisplay::TImportDisplay(const TfrmMainView& view, std::function<void()> processEvents)
    : view_(view), processEvents_(std::move(processEvents)) {}

void TImportDisplay::Reading(const TImportResult& soFar) {
  ShowLog(soFar);
  const TImportCounters& counters = soFar.counters;
  if (counters.repeatsSoFar > 0) view_.lbDuplikaty->SetCaption(std::to_string(counters.repeatsSoFar));
  if (counters.rejected > 0) view_.lbBledy->SetCaption(std::to_string(counters.rejected));
  if (processEvents_) processEvents_();
}

void TImportDisplay::Finish(const TImportResult& result) { ShowLog(result); }

// The import replaces the log and the counters: they describe the list it
// is reading now.
void TImportDisplay::Begin(const TImportResult& result) {
  begun_ = true;
  ResetPhoneCounters(view_);
  TLogView& log = *view_.LogMemo;
  log.Clear();
  for (int i = 0; i <= result.progressLine; ++i) log.AppendLine(result.log[i].text);
  shownProgress_ = result.progressLine;
  shownLines_ = result.progressLine + 1;
}

void TImportDisplay::ShowLog(const TImportResult& result) {
  TLogView& log = *view_.LogMemo;
  const int count = static_cast<int>(result.log.size());
  if (result.progressLine >= 0) {
    if (!begun_) Begin(result);
    // The lines written before the progress line since it was last shown
    // (the corrections), then the progress line as it reads now.
    for (int i = shownProgress_; i < result.progressLine; ++i) {
      log.InsertLine(log.LineCount() - 1, result.log[i].text);
      ++shownLines_;
    }
    shownProgress_ = result.progressLine;
    log.ReplaceLine(log.LineCount() - 1, result.log[result.progressLine].text);
  }
  for (int i = shownLines_; i < count; ++i) AppendLine(result.log[i]);
  shownLines_ = count;
}

void TImportDisplay::AppendLine(const TImportLogLine& line) {
  TLogView& log = *view_.LogMemo;
  switch (line.style) {
    case TImportLineStyle::Plain:
      log.AppendLine(line.text);
      break;
    case TImportLineStyle::Repeats:
      log.SetInsertionColor(clFuchsia);
      log.AppendLine(line.text);
      break;
    case TImportLineStyle::Total:
      log.SetInsertionColor(clBlue);
      log.SetInsertionBold(true);
      log.AppendLine(line.text);
      break;
    case TImportLineStyle::Note:
      AppendLogLine(log, line.text, 0, 9, "Tahoma", TLogFontStyle::Regular, clGray);
      break;
    case TImportLineStyle::Alert:
      AppendLogLine(log, line.text, 0, 9, "Tahoma", TLogFontStyle::Regular, clRed);
      break;
  }
}

}  // namespace app
