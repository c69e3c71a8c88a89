// TfrmMain: numbers in. The import command ("Otwórz plik XLS"), the manual
// number ("Dodaj") and the phone list window's hold on the number list.

#include "app/core/phone_import.h"
#include "app/window/frm_main.h"
#include "app/window/import_display.h"
#include "app/window/manual_numbers.h"
#include "app/window/zo_tools.h"
#include "platform/user_dirs.h"

namespace app {

void TfrmMain::BindNumberEvents() {
  actImportuj_.OnExecute = [this] { actImportujExecute(); };
  view_.BitBtn6->OnClick = [this] { BitBtn6Click(); };
  telList_.Attach(numberList_, *view_.lbPrawidlowe, *view_.lbPrawidlowe0);
}

void TfrmMain::actImportujExecute() {
  if (importRunning_) return;
  view_.BitBtn3->SetEnabled(false);
  view_.Gauge1->SetVisible(false);
  zoGSM1_->ClearSendQueue();
  // The user's lists are in the documents folder, not among the program's files.
  view_.OpenDialog1->SetInitialDir(platform::DocumentsDirectory().string());
  if (!view_.OpenDialog1->Execute()) return;

  // The reading loop lets the window handle its events: nothing that changes
  // the number list may start meanwhile.
  importRunning_ = true;
  actImportuj_.SetEnabled(false);
  actWyslij_.SetEnabled(false);
  for (TControl* control : std::initializer_list<TControl*>{view_.BitBtn6, view_.Edit1, view_.Label33}) {
    control->SetEnabled(false);
  }
  // Whatever ends the import, the commands come back.
  struct Finished {
    TfrmMain& form;
    ~Finished() {
      form.importRunning_ = false;
      form.ApplicationIdle();
    }
  } finished{*this};
  view_.StatusBar1->SetPanelText(3, "");
  TImportDisplay display(view_, [this] {
    // The list being replaced is no longer there to be sent or shown.
    numberList_.Clear();
    telList_.Clear();
    loop_.ProcessPendingEvents();
  });
  const TImportResult result =
      ImportPhoneNumbers(view_.OpenDialog1->FileName(), {.excludeDuplicates = view_.CheckBox3->Checked()}, &display);
  display.Finish(result);
  for (const AnsiString& error : result.errors) ErrorBox(error, Ansi(" BŁĄD !"));
  if (result.imported) TakeImport(result);
}

// The imported list becomes the window's: its numbers, its result workbook
// and where that is saved, its counters and the phone list window.
void TfrmMain::TakeImport(const TImportResult& result) {
  inputFilePath_ = result.inputPath;
  resultFilePath_ = result.resultPath;
  resultWorkbook_ = result.resultBook;
  numberList_ = result.numbers;
  ShowImportCounters(view_, result.counters);
  telList_.Clear();
  if (numberList_.Empty()) return;
  telList_.Fill(numberList_.Numbers());
  telList_.ShowAt(10, 10);
  telList_.SelectHeader();
  view_.BitBtn3->SetEnabled(true);
  view_.Gauge1->SetRange(view_.Gauge1->MinValue(), numberList_.Count());
}

void TfrmMain::BitBtn6Click() {
  if (importRunning_ || zoGSM1_->Connected()) return;
  AddManualNumber({view_, telList_, numberList_, resultWorkbook_, resultFilePath_,
                   platform::DocumentsDirectory().string()});
}

}  // namespace app
