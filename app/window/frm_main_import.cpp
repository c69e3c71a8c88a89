// TfrmMain: numbers in. The import command ("Otwórz plik XLS"), the manual
// number ("Dodaj") and the phone list window's hold on the number list.

#include "app/window/frm_main.h"
#include "app/window/manual_numbers.h"
#include "app/core/phone_import.h"
#include "platform/user_dirs.h"

namespace app {

void TfrmMain::BindNumberEvents() {
  actImportuj_.OnExecute = [this] { actImportujExecute(); };
  view_.BitBtn6->OnClick = [this] { BitBtn6Click(); };
  telList_.Attach(numberList_, *view_.lbPrawidlowe, *view_.lbPrawidlowe0);
}

void TfrmMain::actImportujExecute() {
  if (importRunning_) return;
  TPhoneImport import({view_, telList_, numberList_, resultWorkbook_, inputFilePath_, resultFilePath_,
                       [this] { loop_.ProcessPendingEvents(); }});
  import.ResetCounters();  // with the send button disabled and the gauge hidden
  zoGSM1_->ClearSendQueue();
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
  import.Run(view_.OpenDialog1->FileName(), view_.CheckBox3->Checked());
}

void TfrmMain::BitBtn6Click() {
  if (importRunning_ || zoGSM1_->Connected()) return;
  AddManualNumber({view_, telList_, numberList_, resultWorkbook_, resultFilePath_,
                   platform::DocumentsDirectory().string()});
}

}  // namespace app
