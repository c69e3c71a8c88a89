#pragma once
// What the window shows of an import: the counters under "TELEFONY" and the
// import's log, mirrored into the activity log while the rows are read (the
// lines before the progress line, the progress line itself) and completed
// when the import ends.
//
// Threads: main thread only.

#include <functional>

#include "app/core/phone_import.h"
#include "app/window/frm_main_view.h"

namespace app {

// The counters back to 0 (all but "Wczytane" disabled), the gauge at 0:
// the counters of an empty list, before an import fills them or after a
// campaign was stopped.
void ResetPhoneCounters(const TfrmMainView& view);

// The counters of an import that ran to its end.
void ShowImportCounters(const TfrmMainView& view, const TImportCounters& counters);

class TImportDisplay final : public TImportProgress {
 public:
  // `processEvents` lets the window handle its pending events.
  TImportDisplay(const TfrmMainView& view, std::function<void()> processEvents);

  // The rows so far: the log and the running counters, then the events.
  void Reading(const TImportResult& soFar) override;
  // The whole log of the import (and of a file never read, its failure).
  void Finish(const TImportResult& result);

 private:
  void Begin(const TImportResult& result);
  void ShowLog(const TImportResult& result);
  void AppendLine(const TImportLogLine& line);

  TfrmMainView view_;
  std::function<void()> processEvents_;
  bool begun_ = false;
  int shownProgress_ = -1;  // the import's line the window's last line shows
  int shownLines_ = 0;      // the import's lines shown
};

}  // namespace app
