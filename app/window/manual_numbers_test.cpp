// Manual numbers ("Dodaj") and the phone list window: rows, the pop-up menu,
// removal and renumbering.

#include "app/window/manual_numbers.h"

#include "app/core/cell_text.h"

#include "app/window/import_test_support.h"

namespace app {
namespace {

using namespace app::testing;

class ManualNumbers : public NumbersWindow {
 protected:
  std::string ManualOut() const { return (env.folder / "home" / "manual_out.xls").string(); }
};

TEST_F(ManualNumbers, ANineDigitNumberShowsTheListAndStartsTheManualResult) {
  TypeNumber("600123456");
  EXPECT_EQ(form->NumberList().Numbers(), std::vector<std::string>{"600123456"});
  EXPECT_TRUE(tel.frmTelList.Visible());
  EXPECT_EQ(tel.frmTelList.Left(), 10);
  EXPECT_EQ(tel.frmTelList.Top(), 10);
  EXPECT_FALSE(tel.frmTelList.Topmost());
  EXPECT_EQ(ListRows(), (std::vector<AnsiString>{" L.p.\tNumer telefonu", "1\t600123456"}));
  EXPECT_EQ(view.lbPrawidlowe.Caption(), "1");
  EXPECT_TRUE(view.lbPrawidlowe.Enabled());
  EXPECT_TRUE(view.lbPrawidlowe0.Enabled());
  EXPECT_EQ(form->ResultFilePath(), ManualOut());
  EXPECT_TRUE(form->ResultWorkbook().Exists());
  EXPECT_TRUE(view.Edit1.Focused());
  EXPECT_EQ(view.Edit1.SelLength(), 9);
  EXPECT_TRUE(view.BitBtn3.Enabled());  // the list can be sent

  // The same again with repeats left out: the list stays, the window is rebuilt.
  TypeNumber("600123456");
  EXPECT_EQ(form->NumberList().Count(), 1);
  EXPECT_EQ(ListRows().size(), 2u);
  EXPECT_TRUE(env.dialogs.Texts().empty());

  // A lower number lands in sorted position and the rows are renumbered.
  TypeNumber("500123456");
  EXPECT_EQ(ListRows(), (std::vector<AnsiString>{" L.p.\tNumer telefonu", "1\t500123456", "2\t600123456"}));

  // Repeats accepted: the number is added at the end.
  view.CheckBox3.Click();
  TypeNumber("500123456");
  EXPECT_EQ(form->NumberList().Numbers(), (std::vector<std::string>{"500123456", "600123456", "500123456"}));
}

TEST_F(ManualNumbers, NumbersThatAreNotNineDigitsAreRefused) {
  const char* const cases[] = {
      "060012345",   // a leading zero
      "60012345",    // too short
      "6001234a5",   // not a number
      "",            //
      "-60012345",   // eight digits once the dash is gone
      "6001002111",  // ten digits: not cut into another number
  };
  for (const char* typed : cases) {
    SCOPED_TRACE(typed);
    env.dialogs.Clear();
    TypeNumber(typed);
    EXPECT_TRUE(form->NumberList().Empty());
    EXPECT_FALSE(tel.frmTelList.Visible());
    EXPECT_FALSE(form->ResultWorkbook().Exists());
    ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
    EXPECT_EQ(env.dialogs.Boxes()[0].text, Ansi("Numer telefonu musi mieć 9 cyfr !     "));
    EXPECT_EQ(env.dialogs.Boxes()[0].caption, Ansi(" OSTRZEŻENIE"));
    EXPECT_EQ(env.dialogs.Boxes()[0].icon, platform::DialogIcon::Warning);
    EXPECT_EQ(view.Edit1.Color(), clWhite);
    EXPECT_TRUE(view.Edit1.Focused());
  }
}

TEST_F(ManualNumbers, ANumberIsTakenInTheFormsTheImportTakes) {
  const std::pair<const char*, const char*> cases[] = {
      {"+48600100777", "600100777"},
      {"+48 600 100 778", "600100778"},
      {"0048 (600) 100-779", "600100779"},
      {" 600-100-780 ", "600100780"},
  };
  for (const auto& [typed, number] : cases) TypeNumber(typed);
  std::vector<std::string> numbers;
  for (const auto& [typed, number] : cases) numbers.push_back(number);
  EXPECT_EQ(form->NumberList().Numbers(), numbers);
  EXPECT_TRUE(env.dialogs.Texts().empty());
  EXPECT_EQ(form->NumberList().Recipient(0).numberRead, "+48600100777");
}

TEST_F(ManualNumbers, AManualNumberAfterAnImportKeepsTheImportsResult) {
  const fs::path file = env.folder / "lista.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("600123457")}});
  Import(file);
  TypeNumber("500123456");
  EXPECT_EQ(form->ResultFilePath(), (env.folder / "lista_out.xls").string());
  EXPECT_EQ(form->NumberList().Count(), 3);
  EXPECT_EQ(view.lbPrawidlowe.Caption(), "3");
  EXPECT_EQ(view.lbWszystkie.Caption(), "2");  // the import's counters stay
}

TEST_F(ManualNumbers, AnEmptyListStartsANewManualResult) {
  const fs::path file = env.folder / "lista.xls";
  WriteSheet(file, {{Text("600123456")}});
  Import(file);
  tel.ListBox1.SetItemIndex(1);
  tel.ListBox1.OpenPopup();
  tel.Usun1.Click();
  ASSERT_TRUE(form->NumberList().Empty());
  TypeNumber("500123456");
  EXPECT_EQ(form->ResultFilePath(), ManualOut());
  // A fresh workbook: the typed number in its first row, the imported one nowhere.
  const xls::IXLSRange cells = form->ResultWorkbook().Sheet()->Cells();
  EXPECT_EQ(ValueToText(cells->Item(1, 1)->Value()), "500123456");
  EXPECT_TRUE(cells->Item(2, 1)->Value().IsNull());
}

TEST_F(ManualNumbers, ATypedNumberTakesTheNextRowOfTheResultWorkbook) {
  const fs::path file = env.folder / "lista.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("600123457")}});
  Import(file);
  TypeNumber("500123456");
  TypeNumber("600123456");  // already listed: no row of its own
  const TNumberList& list = form->NumberList();
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Recipient(0).number, "500123456");
  EXPECT_EQ(list.Recipient(0).row, 3);
  const xls::IXLSRange cells = form->ResultWorkbook().Sheet()->Cells();
  EXPECT_EQ(ValueToText(cells->Item(3, 1)->Value()), "500123456");
  EXPECT_EQ(cells->Item(3, 1)->Interior()->ColorIndex(), xls::xlNone);
  EXPECT_TRUE(cells->Item(4, 1)->Value().IsNull());
}

TEST_F(ManualNumbers, RemovingRowsRenumbersAndTheLastOneClosesTheWindow) {
  for (const char* number : {"600123451", "600123452", "600123453"}) TypeNumber(number);
  // The menu entry only on a number row.
  tel.ListBox1.SetItemIndex(0);
  tel.ListBox1.OpenPopup();
  EXPECT_FALSE(tel.Usun1.Enabled());
  tel.ListBox1.SetItemIndex(-1);
  tel.ListBox1.OpenPopup();
  EXPECT_FALSE(tel.Usun1.Enabled());
  telList->Usun1Click();  // with no number row selected: nothing
  EXPECT_EQ(form->NumberList().Count(), 3);

  tel.ListBox1.SetItemIndex(2);
  tel.ListBox1.OpenPopup();
  ASSERT_TRUE(tel.Usun1.Enabled());
  tel.Usun1.Click();
  EXPECT_EQ(ListRows(), (std::vector<AnsiString>{" L.p.\tNumer telefonu", "1\t600123451", "2\t600123453"}));
  EXPECT_EQ(form->NumberList().Numbers(), (std::vector<std::string>{"600123451", "600123453"}));
  EXPECT_EQ(view.lbPrawidlowe.Caption(), "2");
  EXPECT_TRUE(view.lbPrawidlowe.Enabled());

  for (int left = 2; left > 0; --left) {
    tel.ListBox1.SetItemIndex(1);
    tel.ListBox1.OpenPopup();
    tel.Usun1.Click();
  }
  EXPECT_TRUE(form->NumberList().Empty());
  EXPECT_FALSE(tel.frmTelList.Visible());
  EXPECT_EQ(view.lbPrawidlowe.Caption(), "0");
  EXPECT_FALSE(view.lbPrawidlowe.Enabled());
  EXPECT_FALSE(view.lbPrawidlowe0.Enabled());
}

TEST(CellText, ValuesBecomeTheTextsTheNumberRuleCounts) {
  struct Case {
    xls::Variant value;
    const char* text;
  };
  const Case cases[] = {
      {xls::Variant::Double(600123456), "600123456"},
      {xls::Variant::Double(48600123456.0), "48600123456"},
      {xls::Variant::Double(-600123456), "-600123456"},
      {xls::Variant::Double(60012345.6), "60012345.6"},
      {xls::Variant::Double(0.1 + 0.2), "0.3"},                  // 15 significant digits
      {xls::Variant::Double(123456789012345.0), "123456789012345"},
      {xls::Variant::Double(1e15), "1E15"},
      {xls::Variant::Double(4.86001234567e17), "4.86001234567E17"},
      {xls::Variant::Double(0.00001), "1E-5"},
      {xls::Variant::Double(0), "0"},
      {xls::Variant::Double(-0.0), "-0"},
      {xls::Variant::Double(999999999999999.0), "999999999999999"},  // the largest whole number without E
      {xls::Variant::Double(-123456789012345.0), "-123456789012345"},
      {xls::Variant::Int(600123456), "600123456"},
      {xls::Variant::Boolean(true), "True"},
      {xls::Variant::Boolean(false), "False"},
      {xls::Variant::Text(u"ŁÓDŹ 600"), "ŁÓDŹ 600"},
      {xls::Variant::Text(u" 600 123 "), " 600 123 "},
  };
  for (const Case& c : cases) EXPECT_EQ(ValueToText(c.value), Ansi(c.text)) << c.text;
  // A date in the locale's form: never empty and never the day count.
  const AnsiString date = ValueToText(xls::Variant::Date(45306));  // 15 January 2024
  EXPECT_NE(date.find("24"), std::string::npos) << date;
  EXPECT_EQ(date.find("45306"), std::string::npos);
}

}  // namespace
}  // namespace app
