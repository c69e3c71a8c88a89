// The import through the window's "Otwórz plik XLS": the number rule and the
// marks, checked in the files written (the project's reader and python3-xlrd),
// the log, the counters, the phone list window, and the faults of the file.

#include "app/core/phone_import.h"

#include <sys/stat.h>

#include <algorithm>

#include "app/window/import_test_support.h"
#include "xls/cfb/compound_file_writer.h"

namespace app {
namespace {

using namespace app::testing;

struct Expected {
  const char* a;     // text of A afterwards (C of a corrected row holds the number)
  int fill;          // of A afterwards
  const char* b;     // "" when B holds nothing
  const char* c;     // "" when C holds nothing
};

class Importing : public NumbersWindow {};

TEST_F(Importing, TheNumberRuleMarksEveryRowInTheFileWrittenBack) {
  const fs::path file = env.folder / "klienci.xls";
  struct Case {
    SheetRow row;
    Expected expected;
  };
  const Case cases[] = {
      {{Number(600123456)}, {"<not text>", xls::xlNone, "", ""}},                        // a whole number: 9 digits
      {{Number(48600123457.0)}, {"<not text>", 46, "korekta na", "600123457"}},            // the country code
      {{Text("0600123458")}, {"0600123458", 3, "BŁĄD!", ""}},                              // ten digits: never cut
      {{Text("60012345")}, {"60012345", 3, "BŁĄD!", ""}},                                   // too short
      {{Text("600123456")}, {"600123456", 38, "duplikat", ""}},                             // a repeat
      {{Text("600123459"), 4, "wysłano"}, {"600123459", 4, "wysłano", ""}},                // sent: skipped
      {{Text("48600123460"), 4}, {"48600123460", 46, "korekta na", "600123460"}},          // green but long
      {{Text("600123461"), 3, "BŁĄD!"}, {"600123461", xls::xlNone, "BŁĄD!", ""}},          // red before, valid now
      {{Text("abcdęfghi")}, {"abcdęfghi", 3, "BŁĄD!", ""}},                                // letters are no number
      {{Text("600 100 204")}, {"600 100 204", 46, "korekta na", "600100204"}},             // typed in groups
      {{Number(1.5)}, {"<not text>", 3, "BŁĄD!", ""}},                                     // "1.5"
      {{Text("6001002111")}, {"6001002111", 3, "BŁĄD!", ""}},                              // not "001002111"
      {{Text("48 600 123 462")}, {"48 600 123 462", 46, "korekta na", "600123462"}},       // code and groups
      {{Text("60010020A")}, {"60010020A", 3, "BŁĄD!", ""}},
  };
  std::vector<SheetRow> rows;
  for (const Case& c : cases) rows.push_back(c.row);
  rows.push_back({xls::Variant::Null()});  // empty: reading stops here
  rows.push_back({Text("600123499")});     // never read
  const int unread = static_cast<int>(rows.size());
  WriteSheet(file, rows);

  Import(file);

  const ReadBack input(file);
  ASSERT_EQ(input.opened, 1);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Expected& e = cases[i].expected;
    const int row = static_cast<int>(i) + 1;
    SCOPED_TRACE("row " + std::to_string(row));
    if (std::string(e.a) != "<not text>") {
      EXPECT_EQ(input.TextAt(row, 1), e.a);
    }
    EXPECT_EQ(input.FillAt(row, 1), e.fill);
    EXPECT_EQ(input.TextAt(row, 2), *e.b ? e.b : "<null>");
    EXPECT_EQ(input.TextAt(row, 3), *e.c ? e.c : "<null>");
  }
  EXPECT_EQ(input.TextAt(unread, 1), "600123499");
  EXPECT_EQ(input.FillAt(unread, 1), xls::xlNone);
  EXPECT_EQ(input.TextAt(unread, 2), "<null>");

  // With repeats left out the list and the result rows are in text order.
  const std::vector<std::string> numbers = {"600100204", "600123456", "600123457",
                                            "600123460", "600123461", "600123462"};
  EXPECT_EQ(form->NumberList().Numbers(), numbers);
  EXPECT_EQ(view.lbWszystkie.Caption(), "7");
  EXPECT_EQ(view.lbPrawidlowe.Caption(), "6");
  EXPECT_EQ(view.lbDuplikaty.Caption(), "1");
  EXPECT_EQ(view.lbKorekty.Caption(), "4");
  EXPECT_EQ(view.lbBledy.Caption(), "6");
  for (MemoryLabel* label : {&view.lbPrawidlowe, &view.lbPrawidlowe0, &view.lbDuplikaty, &view.lbDuplikaty0,
                             &view.lbKorekty, &view.lbKorekty0, &view.lbBledy, &view.lbBledy0}) {
    EXPECT_TRUE(label->Enabled()) << label->Name();
  }
  EXPECT_TRUE(view.BitBtn3.Enabled());
  EXPECT_EQ(view.Gauge1.MaxValue(), 6);

  const fs::path out = env.folder / "klienci_out.xls";
  EXPECT_EQ(form->ResultFilePath(), out.string());
  const ReadBack result(out);
  ASSERT_EQ(result.opened, 1);
  std::string outLines = "sheets\t1\nrows\t0\t6\nwidth\t0\t0\t4022\n";
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    EXPECT_EQ(result.TextAt(static_cast<int>(i) + 1, 1), platform::AnsiToUtf8(numbers[i]));
    outLines += "cell\t0\t" + std::to_string(i) + "\t0\ttext\t" + platform::AnsiToUtf8(numbers[i]) + "\t-\t2\t1\n";
  }
  ExpectXlrd(out, outLines);

  // The marks as an independent reader sees them.
  std::string inputLines;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Expected& e = cases[i].expected;
    const int row = static_cast<int>(i);
    if (*e.b) inputLines += XlrdText(row, 1, e.b, xls::xlNone);
    if (*e.c) inputLines += XlrdText(row, 2, e.c, xls::xlNone);
    if (std::string(e.a) != "<not text>") {
      inputLines += XlrdText(row, 0, e.a, e.fill);
    } else {
      char value[32];
      std::snprintf(value, sizeof value, "%.17g", cases[i].row.a.AsDouble());
      const std::string fill = e.fill == xls::xlNone ? "-" : std::to_string(e.fill + 7);
      inputLines += "cell\t0\t" + std::to_string(row) + "\t0\tnumber\t" + value + "\t" + fill + "\t*\t*\n";
    }
  }
  ExpectXlrd(file, inputLines);

  // The phone list window at (10, 10), header selected.
  EXPECT_TRUE(tel.frmTelList.Visible());
  EXPECT_EQ(tel.frmTelList.Left(), 10);
  EXPECT_EQ(tel.frmTelList.Top(), 10);
  ASSERT_EQ(tel.ListBox1.Count(), 7);
  EXPECT_EQ(tel.ListBox1.Item(0), " L.p.\tNumer telefonu");
  EXPECT_EQ(tel.ListBox1.Item(1), "1\t600100204");
  EXPECT_EQ(tel.ListBox1.Item(6), "6\t600123462");
  EXPECT_EQ(tel.ListBox1.ItemIndex(), 0);
}

TEST_F(Importing, RepeatsKeptTakeSheetOrderAndAreNotMarked) {
  const fs::path file = env.folder / "lista.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("600123456")}, {Text("12345")}});
  Import(file, /*excludeDuplicates=*/false);
  EXPECT_EQ(form->NumberList().Numbers(), (std::vector<std::string>{"600123456", "600123456"}));
  const ReadBack input(file);
  EXPECT_EQ(input.FillAt(2, 1), xls::xlNone);
  EXPECT_EQ(input.TextAt(2, 2), "<null>");
  EXPECT_EQ(input.FillAt(3, 1), 3);
  EXPECT_FALSE(view.lbDuplikaty.Enabled());

  // The same rows with repeats left out: loaded 2, list 1, duplicates 1, rejected 1.
  WriteSheet(file, {{Text("600123456")}, {Text("600123456")}, {Text("12345")}});
  Import(file, /*excludeDuplicates=*/true);
  EXPECT_EQ(form->NumberList().Numbers(), (std::vector<std::string>{"600123456"}));
  EXPECT_EQ(view.lbWszystkie.Caption(), "2");
  EXPECT_EQ(view.lbDuplikaty.Caption(), "1");
  EXPECT_EQ(view.lbBledy.Caption(), "1");
  const ReadBack again(file);
  EXPECT_EQ(again.FillAt(2, 1), 38);
  EXPECT_EQ(again.TextAt(2, 2), "duplikat");
  EXPECT_EQ(again.FillAt(3, 1), 3);
  EXPECT_EQ(again.TextAt(3, 2), "BŁĄD!");
}

TEST_F(Importing, AnEmptyColumnLogsZerosWritesNoResultAndShowsNoList) {
  const fs::path file = env.folder / "pusty.xls";
  WriteSheet(file, {{xls::Variant::Null()}, {Text("600123456")}});
  const std::string before = FileBytes(file);
  Import(file);
  const std::vector<AnsiString> expected = {
      "",
      Ansi("Import danych z arkusza excel"),
      Ansi("Wybrany plik: ") + file.string(),
      Ansi("Próba wczytania telefonów od pozycji [A1]"),
      Ansi("Import zakończony, ilość wczytanych numerów: 0"),
      Ansi("Analiza i odrzucanie duplikatów..."),
      Ansi("Ilość wykrytych duplikatów: 0"),
      " ",
      " ",
      Ansi("Ilość prawidłowych, nie powtarzających się pozycji: 0"),
      Ansi("Koniec importu"),
  };
  std::vector<AnsiString> lines = LogLines();
  ASSERT_EQ(lines.size(), expected.size() + 2);
  EXPECT_EQ(lines.back(), Ansi("Zapisano oznaczony plik: ") + file.string());
  lines.pop_back();
  // The file as it was, kept before the marks went into it.
  const AnsiString kept = Ansi("Kopię pliku sprzed oznaczenia zachowano jako: ");
  ASSERT_EQ(lines.back().rfind(kept, 0), 0u) << lines.back();
  const fs::path copy = lines.back().substr(kept.size());
  EXPECT_EQ(copy.parent_path(), env.ProgramDir() / "backups");
  EXPECT_EQ(FileBytes(copy), before);
  lines.pop_back();
  EXPECT_EQ(lines, expected);
  EXPECT_FALSE(fs::exists(env.folder / "pusty_out.xls"));
  EXPECT_FALSE(tel.frmTelList.Visible());
  EXPECT_FALSE(view.BitBtn3.Enabled());
  EXPECT_EQ(ReadBack(file).opened, 1);  // written back all the same
}

TEST_F(Importing, CorrectionsAndRejectionsAreLoggedBeforeTheProgressLine) {
  const fs::path file = env.folder / "lista.xls";
  WriteSheet(file, {{Number(48600123456.0)}, {Text("600123457")}});
  Import(file);
  const std::vector<AnsiString> lines = LogLines();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[4], Ansi("Pozycja [A1] - wykryto niepoprawny nr tel: 48600123456 ---> po korekcie: 600123456"));
  EXPECT_EQ(lines[5], Ansi("Import zakończony, ilość wczytanych numerów: 2"));
  // Only corrections: no red and orange explanation.
  for (const AnsiString& line : lines) EXPECT_EQ(line.find("CZERWONO"), std::string::npos);
  const ReadBack input(file);
  EXPECT_EQ(input.TextAt(1, 3), "600123456");  // the corrected number as text
}

TEST(ResultFilePath, OutGoesBeforeTheFirstDotOfTheFileName) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/ala/lists/customers.xls", "/home/ala/lists/customers_out.xls"},
      {"/home/ala/v1.2/klienci.xls", "/home/ala/v1.2/klienci_out.xls"},     // a folder with a dot
      {"/home/ala/lista", "/home/ala/lista_out."},                          // a name without a dot
      {"/home/ala/lista.2024.xls", "/home/ala/lista_out.2024.xls"},         // the first dot of the name
      {"/home/ala/lista . xls", "/home/ala/lista_out.xls"},                 // blanks around the dot
      {"lista.xls", "lista_out.xls"},
  };
  for (const auto& [input, output] : cases) EXPECT_EQ(ResultFilePathFor(input), output) << input;
}

TEST_F(Importing, TheResultFileIsWrittenWhereTheOutRuleSays) {
  struct Case {
    const char* folder;  // below the test folder
    const char* name;
    const char* out;     // expected beside it
  };
  const Case cases[] = {
      {"wersja 1.2", "klienci.xls", "klienci_out.xls"},  // a folder with a dot
      {"bez", "klienci", "klienci_out."},                 // a name without a dot
      {"daty", "lista.2024.xls", "lista_out.2024.xls"},   // the first dot of the name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = env.folder / c.folder;
    fs::create_directories(folder);
    WriteSheet(folder / c.name, {{Text("600123456")}, {Text("48500123457")}});
    Import(folder / c.name);
    const fs::path out = folder / c.out;
    EXPECT_EQ(form->ResultFilePath(), out.string());
    ASSERT_EQ(ReadBack(out).opened, 1);
    ExpectXlrd(out, "sheets\t1\nrows\t0\t2\ncell\t0\t0\t0\ttext\t500123457\t-\t2\t1\n"
                    "cell\t0\t1\t0\ttext\t600123456\t-\t2\t1\n");
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() != ".expect") files.push_back(entry.path().filename());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{c.name, c.out}));
  }
}

// ---- Faults of the file ----------------------------------------------------------

class ImportFault : public NumbersWindow {
 protected:
  // An earlier import left a list, a result workbook and its path.
  void ImportAList() {
    const fs::path first = env.folder / "pierwsza.xls";
    WriteSheet(first, {{Text("600123456")}, {Text("600123457")}});
    Import(first);
    ASSERT_EQ(form->NumberList().Count(), 2);
  }
  void ExpectNothingChanged(const fs::path& file, const std::string& bytes) {
    EXPECT_EQ(FileBytes(file), bytes) << file;
    EXPECT_EQ(form->NumberList().Count(), 2);
    EXPECT_EQ(form->ResultFilePath(), (env.folder / "pierwsza_out.xls").string());
    EXPECT_TRUE(form->ResultWorkbook().Exists());
    EXPECT_FALSE(fs::exists(ResultFilePathFor(file.string())));
    const std::vector<std::string> boxes = env.dialogs.Texts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(file.string()), std::string::npos) << boxes[0];
    EXPECT_EQ(env.dialogs.Boxes()[0].caption, Ansi(" BŁĄD !"));
  }
};

// A password-protected .xlsx as every writer stores it: a compound file with
// the encryption's description and the encrypted package, no zip at all.
std::string EncryptedXlsxBytes() {
  xls::cfb::CompoundFileWriter writer;
  writer.AddStream(writer.Root(), u"EncryptionInfo", std::vector<std::uint8_t>(300, 0x04));
  writer.AddStream(writer.Root(), u"EncryptedPackage", std::vector<std::uint8_t>(6000, 0xA5));
  std::vector<std::uint8_t> bytes;
  writer.SaveToBytes(bytes);
  return std::string(bytes.begin(), bytes.end());
}

// A text list of `count` numbers, one a line.
std::string LinesOfNumbers(int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += std::to_string(600000000 + i) + "\n";
  return lines;
}

TEST_F(ImportFault, AFileThatCannotBeReadIsLeftAsItWasAndChangesNothing) {
  ImportAList();
  const fs::path reader = fs::path(TALVANE_SOURCE_DIR) / "xls" / "testdata" / "reader";
  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  };
  const fs::path xlsx = fs::path(TALVANE_SOURCE_DIR) / "xls" / "testdata" / "xlsx";
  std::string damaged = FileBytes(reader / "xlwt_basic.xls");
  damaged.resize(damaged.size() / 3);
  const Case cases[] = {
      {"arkusz.xlsx", FileBytes(xlsx / "hostile_truncated.xlsx"), "plik XLSX jest uszkodzony"},
      {"bez_arkusza.xlsx", FileBytes(xlsx / "hostile_missing_sheet.xlsx"), "brakuje części skoroszytu"},
      {"bomba.xlsx", FileBytes(xlsx / "hostile_huge_declared.xlsx"), "nieprawdopodobny rozmiar"},
      {"glebia.xlsx", FileBytes(xlsx / "hostile_deep.xlsx"), "zbyt głęboko zagnieżdżony"},
      {"encje.xlsx", FileBytes(xlsx / "hostile_entities.xlsx"), "deklaruje typ dokumentu"},
      {"haslo.xlsx", EncryptedXlsxBytes(), "zabezpieczony hasłem"},
      {"uszkodzony.xls", damaged, "jest uszkodzony"},
      {"urwany.xls", damaged.substr(0, 300), "plik XLS jest uszkodzony"},  // cut inside its header
      {"haslo.xls", FileBytes(reader / "rc4_user_password.xls"), "hasłem"},
      {"obraz.xls", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "to nie jest arkusz"},
      // Longer than a sheet: the customers past row 65,536 are not dropped unseen.
      {"dluga.xlsx", FileBytes(xlsx / "rows_past_the_sheet.xlsx"), "więcej niż 65536 wierszy"},
      {"dluga.csv", LinesOfNumbers(xls::kRowCount + 1), "więcej niż 65536 wierszy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    env.dialogs.Clear();
    const fs::path file = env.folder / c.name;
    std::ofstream(file, std::ios::binary) << c.bytes;
    Import(file);
    ExpectNothingChanged(file, c.bytes);
    if (file.extension() != ".xls") {  // no marked copy either
      EXPECT_FALSE(fs::exists(fs::path(file).replace_extension(".xls")));
    }
    EXPECT_NE(env.dialogs.Texts()[0].find(Ansi(c.reason)), std::string::npos) << env.dialogs.Texts()[0];
  }
}

TEST_F(ImportFault, AFailedWriteBackIsReportedAndTheResultFileStillWritten) {
  const fs::path file = env.folder / "tylko_do_odczytu.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("123")}});
  ::chmod(file.c_str(), 0444);
  const std::string before = FileBytes(file);
  Import(file);
  EXPECT_EQ(FileBytes(file), before);
  EXPECT_TRUE(fs::exists(env.folder / "tylko_do_odczytu_out.xls"));
  const std::vector<std::string> boxes = env.dialogs.Texts();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(Ansi("Nie udało się zapisać oznaczonego pliku ") + file.string()), std::string::npos);
  EXPECT_NE(boxes[0].find(Ansi(": plik jest tylko do odczytu")), std::string::npos) << boxes[0];  // in words
  EXPECT_EQ(LogLines().back(), boxes[0]);  // in the log as well
}

TEST_F(ImportFault, AnUnwritableFolderReportsBothSavesAndKeepsTheOldResult) {
  const fs::path folder = env.folder / "zamkniety";
  fs::create_directories(folder);
  const fs::path file = folder / "lista.xls";
  const fs::path out = folder / "lista_out.xls";
  WriteSheet(file, {{Text("600123456")}});
  WriteSheet(out, {{Text("600123457")}});  // an earlier import's result, no campaign since
  const std::string earlier = FileBytes(out);
  const std::string before = FileBytes(file);
  // Folder permissions do not stop the superuser; read-only files stop everyone.
  ::chmod(file.c_str(), 0444);
  ::chmod(out.c_str(), 0444);
  ::chmod(folder.c_str(), 0555);
  Import(file);
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(FileBytes(file), before);
  EXPECT_EQ(FileBytes(out), earlier);
  const std::vector<std::string> boxes = env.dialogs.Texts();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find(Ansi("Nie udało się zapisać pliku wynikowego ") + out.string()), std::string::npos);
  EXPECT_NE(boxes[1].find(Ansi("Nie udało się zapisać oznaczonego pliku ") + file.string()), std::string::npos);
}

TEST_F(ImportFault, AnEncryptedInputIsNotWrittenBackUnprotected) {
  const fs::path file = env.folder / "zaszyfrowany.xls";
  fs::copy_file(fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/reader/rc4_default_password.xls", file);
  const std::string before = FileBytes(file);
  Import(file);
  EXPECT_EQ(FileBytes(file), before);
  EXPECT_EQ(form->NumberList().Count(), 300);
  EXPECT_EQ(ReadBack(env.folder / "zaszyfrowany_out.xls").opened, 1);
  EXPECT_EQ(LogLines().back(),
            Ansi("Plik jest zaszyfrowany, więc nie został nadpisany oznaczoną kopią: ") + file.string());
  EXPECT_TRUE(env.dialogs.Texts().empty());
}

TEST_F(ImportFault, TheOriginalIsKeptWhenTheCopyCannotCarryEverything) {
  // A macro sheet has no place in the copy the writer makes.
  const fs::path file = env.folder / "makra.xls";
  fs::copy_file(fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/reader/macro_sheet_between.xls", file);
  const std::string original = FileBytes(file);
  std::ofstream(env.folder / "makra.orig.xls") << "an older backup";
  Import(file);
  EXPECT_EQ(FileBytes(env.folder / "makra.orig.xls"), "an older backup");  // never overwritten
  EXPECT_EQ(FileBytes(env.folder / "makra.orig2.xls"), original);
  EXPECT_NE(FileBytes(file), original);  // marked and written back
  EXPECT_EQ(ReadBack(file).opened, 1);
  const std::vector<AnsiString> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], Ansi("Oryginał pliku zachowano jako: ") + (env.folder / "makra.orig2.xls").string());
  EXPECT_TRUE(env.dialogs.Texts().empty());
}

TEST_F(ImportFault, TheLastRowOfTheSheetIsReadAndTheImportEndsNormally) {
  const fs::path file = env.folder / "pelny.xls";
  {
    const auto book = xls::TXLSWorkbook::Create();
    xls::IXLSWorksheet* sheet = book->Worksheets().Add();
    for (int row = 1; row <= xls::kRowCount; ++row) {
      sheet->Cells()->Item(row, 1)->SetValue(Number(500000000 + row));
    }
    ASSERT_EQ(book->SaveAs(file.string()), xls::kSaveOk);
  }
  Import(file);
  EXPECT_TRUE(env.dialogs.Texts().empty());
  EXPECT_EQ(form->NumberList().Count(), xls::kRowCount);
  EXPECT_EQ(view.lbWszystkie.Caption(), "65536");
  const ReadBack result(env.folder / "pelny_out.xls");
  ASSERT_EQ(result.opened, 1);
  EXPECT_EQ(result.TextAt(xls::kRowCount, 1), "500065536");
  EXPECT_EQ(LogLines().back(), Ansi("Zapisano oznaczony plik: ") + file.string());
}

TEST_F(ImportFault, TheCountersDescribeTheListThatIsThereAfterACancelOrARefusal) {
  const fs::path file = env.folder / "lista.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("600123456")}, {Text("48600123457")}, {Text("123")}});
  Import(file);
  const auto counters = [&] {
    std::vector<std::string> shown;
    for (const MemoryLabel* label : {&view.lbWszystkie, &view.lbPrawidlowe, &view.lbDuplikaty, &view.lbKorekty,
                                     &view.lbBledy, &view.lbPrawidlowe0, &view.lbDuplikaty0, &view.lbKorekty0,
                                     &view.lbBledy0}) {
      shown.push_back(label->Caption() + (label->Enabled() ? "+" : "-"));
    }
    return shown;
  };
  const std::vector<std::string> afterImport = counters();
  ASSERT_EQ(afterImport[1], "2+");

  // "Otwórz" cancelled.
  view.OpenDialog1.ScriptAnswer(std::nullopt);
  view.BitBtn1.Click();
  form->ApplicationIdle();
  EXPECT_EQ(counters(), afterImport);
  EXPECT_EQ(form->NumberList().Count(), 2);
  EXPECT_TRUE(view.BitBtn3.Enabled());
  EXPECT_EQ(view.OpenDialog1.InitialDir(), (env.folder / "home").string());  // the documents folder

  // A file refused.
  const fs::path broken = env.folder / "zepsuty.xls";
  std::ofstream(broken, std::ios::binary) << std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
  Import(broken);
  EXPECT_EQ(counters(), afterImport);
  EXPECT_EQ(form->NumberList().Count(), 2);
  EXPECT_TRUE(view.BitBtn3.Enabled());
}

// ---- Keeping the user's files ------------------------------------------------------

TEST_F(ImportFault, AFileOpenInLibreOfficeIsRefusedAndNothingWritten) {
  ImportAList();
  const fs::path file = env.folder / "klienci.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("12345")}});
  std::ofstream(env.folder / ".~lock.klienci.xls#") << "1,ala,host,11.12.2026 01:00,file:///home/ala/.config/libreoffice/4;";
  const std::string bytes = FileBytes(file);
  const auto copies = [&] {
    return std::distance(fs::directory_iterator(env.ProgramDir() / "backups"), fs::directory_iterator());
  };
  const auto copiesBefore = copies();
  env.dialogs.Clear();
  Import(file);
  ExpectNothingChanged(file, bytes);
  EXPECT_NE(env.dialogs.Texts()[0].find(Ansi("otwarty w innym programie")), std::string::npos)
      << env.dialogs.Texts()[0];
  EXPECT_EQ(copies(), copiesBefore);
}

TEST_F(Importing, EveryWriteOverTheFileKeepsItsBytesAndTheLastFiftyCopiesStay) {
  const fs::path file = env.folder / "klienci.xls";
  const fs::path backups = env.ProgramDir() / "backups";
  fs::create_directories(backups);
  // Copies of earlier imports, the oldest first by name.
  for (int i = 0; i < 55; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "20200101-0000%02d.000_stary.xls", i);
    std::ofstream(backups / name) << i;
  }
  WriteSheet(file, {{Text("48600123456")}});
  const std::string original = FileBytes(file);
  Import(file);
  ASSERT_NE(FileBytes(file), original);  // marked
  std::vector<fs::path> copies;
  for (const auto& entry : fs::directory_iterator(backups)) copies.push_back(entry.path());
  std::sort(copies.begin(), copies.end());
  ASSERT_EQ(copies.size(), 50u);
  EXPECT_EQ(copies.front().filename(), "20200101-000006.000_stary.xls");  // the six oldest went
  EXPECT_EQ(FileBytes(copies.back()), original);
  EXPECT_EQ(copies.back().filename().string().substr(copies.back().filename().string().size() - 12),
            "_klienci.xls");
  const std::vector<AnsiString> lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      Ansi("Kopię pliku sprzed oznaczenia zachowano jako: ") + copies.back().string()),
            lines.end());
}

TEST_F(Importing, AResultWorkbookWithCampaignMarksIsNeverWrittenOver) {
  const fs::path file = env.folder / "klienci20.xls";
  const fs::path out = env.folder / "klienci20_out.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("600123457")}});
  Import(file);
  ASSERT_EQ(form->ResultFilePath(), out.string());
  // A campaign sent the first and failed the second.
  TResultWorkbook& results = form->ResultWorkbook();
  results.Mark(1, TResultMark::Sent);
  results.Mark(2, TResultMark::Failed);
  ASSERT_EQ(results.SaveAs(out.string()), xls::kSaveOk);
  const std::string marked = FileBytes(out);

  // The same list again, as .xls and as .csv from the same folder.
  WriteSheet(file, {{Text("600123456")}, {Text("600123457")}});
  Import(file);
  EXPECT_EQ(FileBytes(out), marked);
  EXPECT_EQ(form->ResultFilePath(), (env.folder / "klienci20_out_2.xls").string());
  EXPECT_EQ(ReadBack(env.folder / "klienci20_out_2.xls").FillAt(1, 1), xls::xlNone);
  EXPECT_EQ(LogLines().back(), Ansi("Zapisano oznaczony plik: ") + file.string());
  const std::vector<AnsiString> lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      Ansi("Zapisano plik wynikowy: ") + (env.folder / "klienci20_out_2.xls").string()),
            lines.end());

  std::ofstream(env.folder / "klienci20.csv") << "600123456\n600123457\n";
  Import(env.folder / "klienci20.csv");
  EXPECT_EQ(FileBytes(out), marked);
  // The next free name: no existing result is written over while the marked one is there.
  EXPECT_EQ(form->ResultFilePath(), (env.folder / "klienci20_out_3.xls").string());
  EXPECT_TRUE(fs::exists(env.folder / "klienci20_out_2.xls"));

  // An unmarked result is an import's own and is replaced as before.
  results.Discard();
  WriteSheet(out, {{Text("600123456")}});
  Import(file);
  EXPECT_EQ(form->ResultFilePath(), out.string());
}

// ---- While the reading loop runs -------------------------------------------------

TEST_F(Importing, NothingThatChangesTheListStartsInsideARunningImport) {
  const fs::path file = env.folder / "lista.xls";
  const fs::path other = env.folder / "inna.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("600123457")}, {Text("600123458")}});
  WriteSheet(other, {{Text("700123456")}});
  int seen = 0;
  bool commandsOffInside = true;
  // Work posted to the window runs while the loop lets it handle events.
  std::function<void()> tryEverything = [&] {
    ++seen;
    view.OpenDialog1.ScriptAnswer(other.string());
    commandsOffInside = commandsOffInside && !view.BitBtn1.Click() && !form->actWyslij().Execute();
    view.Edit1.SetText("800123456");
    view.BitBtn6.Click();
  };
  loop.Post(tryEverything);
  Import(file);
  EXPECT_EQ(seen, 1);
  EXPECT_TRUE(commandsOffInside);
  EXPECT_EQ(form->NumberList().Numbers(), (std::vector<std::string>{"600123456", "600123457", "600123458"}));
  EXPECT_EQ(form->InputFilePath(), file.string());
  // Afterwards the commands are back.
  EXPECT_TRUE(view.BitBtn1.Enabled());
  EXPECT_TRUE(view.BitBtn6.Enabled());
  EXPECT_TRUE(form->actWyslij().Enabled());
}

}  // namespace
}  // namespace app
