#include "app/window/manual_numbers.h"

#include <filesystem>

#include "app/window/zo_tools.h"
#include "platform/text.h"

namespace app {

namespace {

constexpr int kDigits = 9;

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
  // The field as an integer, 0 when it is none (blanks and a sign allowed).
  const long long value = platform::ParseInt(typed).value_or(0);
  if (std::to_string(value).size() != kDigits) {
    RefuseNumber(edit);
    return TManualOutcome::Refused;
  }
  if (value <= 0) return TManualOutcome::Ignored;

  if (t.result.Exists() && t.numberList.Empty()) t.result.Discard();
  if (!t.result.Exists()) {
    t.result.Create();
    t.resultFilePath = (std::filesystem::path(t.folder) / "manual_out.xls").string();
  }
  t.numberList.SetExcludeDuplicates(t.view.CheckBox3->Checked());
  // A number that joins the list gets the next row of the result workbook
  // at once, so that its mark has a row of its own.
  const std::string number(platform::TrimBlanks(std::string_view(typed).substr(0, kDigits)));
  const int row = t.result.NextFreeRow();
  const bool grew = t.numberList.Add(ListRecipient(number, row, typed));
  if (grew) t.result.WriteNumberRow(row, number);

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
