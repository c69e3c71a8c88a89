#pragma once
// What the tests of the numbers coming in share: the main window on memory
// views, sheets built for a test, and the cells of written files read back.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/window/frm_main.h"
#include "app/window/testing/memory_view.h"
#include "app/window/test_support.h"
#include "platform/headless_main_loop.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/workbook.h"
#include "xls/worksheet.h"
#include "xls/xls_test_support.h"

namespace app::testing {

namespace fs = std::filesystem;

// The main window on memory views, its documents folder in the test folder.
class NumbersWindow : public ::testing::Test {
 protected:
  NumbersWindow() : home_("HOME", (env.folder / "home").string()) {
    fs::create_directories(env.folder / "home");
    telList = std::make_unique<TfrmTelList>(tel.View());
    form = std::make_unique<TfrmMain>(loop, view.View(), *telList, "/opt/talvane/Talvane.exe");
    view.frmMain.Show();
    form->ApplicationIdle();
  }
  ~NumbersWindow() override {
    form.reset();
    telList.reset();
  }

  // The user opens `file` through "Otwórz plik XLS"; the window becomes idle.
  void Import(const fs::path& file, bool excludeDuplicates = true) {
    if (view.CheckBox3.Checked() != excludeDuplicates) view.CheckBox3.Click();
    view.OpenDialog1.ScriptAnswer(file.string());
    view.BitBtn1.Click();
    form->ApplicationIdle();
  }
  // The user types into the number field and presses Enter ("Dodaj").
  void TypeNumber(const std::string& text) {
    view.Edit1.SetText(text);
    view.BitBtn6.Click();
    form->ApplicationIdle();
  }
  std::vector<AnsiString> ListRows() const {
    std::vector<AnsiString> rows;
    for (int i = 0; i < tel.ListBox1.Count(); ++i) rows.push_back(tel.ListBox1.Item(i));
    return rows;
  }
  std::vector<AnsiString> LogLines() const {
    std::vector<AnsiString> lines;
    for (int i = 0; i < view.LogMemo.LineCount(); ++i) lines.push_back(view.LogMemo.Line(i));
    return lines;
  }

  TestEnvironment env;

 private:
  ScopedEnv home_;

 protected:
  platform::HeadlessMainLoop loop;
  MemoryMainView view;
  MemoryTelListView tel;
  std::unique_ptr<TfrmTelList> telList;
  std::unique_ptr<TfrmMain> form;
};

// One row of column A (and what B holds before the import).
struct SheetRow {
  SheetRow(xls::Variant a_, int fill_ = xls::xlNone, std::string b_ = {})
      : a(std::move(a_)), fill(fill_), b(std::move(b_)) {}
  xls::Variant a;
  int fill;
  std::string b;  // UTF-8; empty: no cell
};

inline xls::Variant Text(const char* utf8) { return xls::Variant::Text(platform::Utf8ToUtf16(utf8)); }
inline xls::Variant Number(double value) { return xls::Variant::Double(value); }

inline void WriteSheet(const fs::path& file, const std::vector<SheetRow>& rows) {
  const auto book = xls::TXLSWorkbook::Create();
  xls::IXLSWorksheet* sheet = book->Worksheets().Add();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    const xls::IXLSRange a = sheet->Cells()->Item(row, 1);
    a->SetValue(rows[i].a);
    if (rows[i].fill != xls::xlNone) a->Interior()->SetColorIndex(rows[i].fill);
    if (!rows[i].b.empty()) sheet->Cells()->Item(row, 2)->SetValue(Text(rows[i].b.c_str()));
  }
  ASSERT_EQ(book->SaveAs(file.string()), xls::kSaveOk);
}

// A cell of the first sheet of a file read back with the project's reader.
struct ReadBack {
  explicit ReadBack(const fs::path& file) { opened = book.Open(file.string()); }
  std::string TextAt(int row, int column) const {
    const xls::Variant value = book.Worksheets().Entries(1)->Cells()->Item(row, column)->Value();
    return value.IsText() ? platform::Utf16ToUtf8(value.AsText()) : value.IsNull() ? "<null>" : "<not text>";
  }
  int FillAt(int row, int column) const {
    return book.Worksheets().Entries(1)->Cells()->Item(row, column)->Interior()->ColorIndex();
  }
  xls::TXLSWorkbook book;
  int opened = 0;
};

inline std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The independent reader's check of `file` against expectation lines
// (xls/testdata/check_xls.py).
inline void ExpectXlrd(const fs::path& file, const std::string& expectations) {
  const fs::path lines = file.string() + ".expect";
  std::ofstream(lines) << expectations;
  const auto check = xls::testing::CheckWithXlrd(file, lines);
  EXPECT_EQ(check.status, 0) << file << "\n" << check.output;
}

// An xlrd expectation line of a cell on the first sheet (0-based row and
// column): a text, its fill (colour index, or xlNone) and no alignment check.
inline std::string XlrdText(int row, int column, const std::string& text, int fill) {
  return "cell\t0\t" + std::to_string(row) + "\t" + std::to_string(column) + "\ttext\t" + text + "\t" +
         (fill == xls::xlNone ? std::string("-") : std::to_string(fill + 7)) + "\t*\t*\n";
}

}  // namespace app::testing
