#include "app/window/manual_numbers.h"

#include <filesystem>
#include <optional>

#include "app/window/zo_tools.h"
#include "app/core/phone_number.h"

namespace app {

namespace {

void RefuseNumber(TEditor& edit) {
  edit.SetColor(clRed);
  WarningBox(Ansi("Numer telefonu musi mieć 9 cyfr !     "), Ansi(" OSTRZEŻENIE"));
  edit.SetColor(clWhite);
  edit.SelectAll();
  edit.SetFocus();
}

}  // namespace

TManualOutcome AddManualNumber(const TManualTarget& t) {
  TEditor& edit = *t.view.Edit1;
  const AnsiString typed = edit.Text();
  // The forms the import takes ("+48 600 100 200", "600-100-200", ...).
  const std::optional<std::string> number = NationalNumberOf(typed);
  if (!number) {
    RefuseNumber(edit);
    return TManualOutcome::Refused;
  }

  if (t.result.Exists() && t.numberList.Empty()) t.result.Discard();
  if (!t.result.Exists()) {
    t.result.Create();
    t.resultFilePath = (std::filesystem::path(t.folder) / "manual_out.xls").string();
  }
  t.numberList.SetExcludeDuplicates(t.view.CheckBox3->Checked());
  // A number that joins the list gets the next row of the result workbook
  // at once, so that its mark has a row of its own.
  const int row = t.result.NextFreeRow();
  const bool grew = t.numberList.Add(ListRecipient(*number, row, typed));
  if (grew) t.result.WriteNumberRow(row, *number);

  t.telList.Fill(t.numberList.Numbers());
  t.telList.ShowAt(10, 10);
  SetWindowZOrder(*t.telList.View().frmTelList, false, false);

  edit.SelectAll();
  edit.SetFocus();

  t.view.lbPrawidlowe->SetCaption(std::to_string(t.numberList.Count()));
  t.view.lbPrawidlowe->SetEnabled(true);
  t.view.lbPrawidlowe0->SetEnabled(true);
  return grew ? TManualOutcome::Added : TManualOutcome::Present;
}

}  // namespace app
