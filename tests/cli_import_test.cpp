// `talvane-cli import` as a user runs it: one JSON line per row and a closing
// line on standard output, the activity log on standard error, the input
// marked and written back and the "_out" file beside it, both read back with
// python3-xlrd.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/cli_programs.h"
#include "tests/workbook_fixtures.h"
#include "xls/range.h"
#include "xls/result_codes.h"
#include "xls/workbook.h"
#include "xls/worksheet.h"
#include "xls/xls_test_support.h"

namespace {

namespace fs = std::filesystem;
using e2e::ReadFile;

using e2e::kReaderFixtures;

struct ImportRun {
  int status = -1;
  std::string out;
  std::string log;
};

class CliImport : public ::testing::Test {
 protected:
  // The command in the C locale (dates as 02/29/20), its two outputs apart.
  ImportRun Import(const std::vector<std::string>& arguments) const {
    std::vector<std::string> command = {"env", "LC_ALL=C", "TALVANE_PROGRAM_DIR=" + (folder / "program").string(),
                                        e2e::kCli, "import"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const e2e::Result result = e2e::RunProgram(command, e2e::Streams::Separate);
    return {result.status, result.out, result.err};
  }

  // A copy of the reader fixture `fixture` named `name` in the folder, imported.
  ImportRun ImportCopy(const std::string& fixture, const std::string& name) {
    fs::copy_file(kReaderFixtures / fixture, folder / name);
    return Import({(folder / name).string()});
  }

  // `file` as python3-xlrd reads it holds `lines` (see check_xls.py).
  void ExpectXlrd(const fs::path& file, const std::string& lines) {
    std::ofstream(folder / "expect.txt") << lines;
    const auto check = xls::testing::CheckWithXlrd(file, folder / "expect.txt");
    EXPECT_EQ(check.status, 0) << file << "\n" << check.output;
  }

  const xls::testing::TestFolder folder;
};

TEST_F(CliImport, ALibreOfficeSheetIsMarkedAndItsNumbersListed) {
  const fs::path file = folder / "klienci.xls";
  const ImportRun run = ImportCopy("libreoffice_biff8.xls", "klienci.xls");
  ASSERT_EQ(run.status, 0) << run.out << run.log;
  const std::string out = (folder / "klienci_out.xls").string();
  EXPECT_EQ(run.out,
            R"({"cell":"A1","text_read":"600123456","text":"600123456","corrected":false,"outcome":"accepted","fill":-4142,"b":null,"c":null}
{"cell":"A2","text_read":"48600123456","text":"600123456","corrected":true,"outcome":"repeat","fill":38,"b":"duplikat","c":"600123456"}
{"cell":"A3","text_read":"600123456","text":"600123456","corrected":false,"outcome":"repeat","fill":38,"b":"duplikat","c":null}
{"cell":"A4","text_read":"12345","text":"12345","corrected":false,"outcome":"rejected","fill":3,"b":"BŁĄD!","c":null}
{"cell":"A5","text_read":"02/29/20","text":"02/29/20","corrected":false,"outcome":"rejected","fill":3,"b":"BŁĄD!","c":null}
{"cell":"A6","text_read":"1200246912","text":"1200246912","corrected":false,"outcome":"rejected","fill":3,"b":"BŁĄD!","c":null}
{"cell":"A7","text_read":"97200246912","text":"97200246912","corrected":false,"outcome":"rejected","fill":3,"b":"BŁĄD!","c":null}
{"cell":"A8","text_read":"1200246912","text":"1200246912","corrected":false,"outcome":"rejected","fill":3,"b":"BŁĄD!","c":null}
{"cell":"A9","text_read":"24690","text":"24690","corrected":false,"outcome":"rejected","fill":3,"b":"BŁĄD!","c":null}
{"cell":"A10","text_read":"scalone","text":"scalone","corrected":false,"outcome":"rejected","fill":3,"b":null,"c":null}
{"loaded":3,"corrected":1,"rejected":7,"duplicates":2,"numbers":["600123456"],"result_file":")" +
                out + R"(","input_saved":true,"error":null}
)");
  EXPECT_NE(run.log.find("Koniec importu\n"), std::string::npos) << run.log;
  EXPECT_NE(run.log.find("Pozycja [A2] - wykryto niepoprawny nr tel: 48600123456 ---> po korekcie: 600123456\n"),
            std::string::npos);

  // The marks, and what the user had beside them, as xlrd reads the file.
  ExpectXlrd(file,
             "sheets\t3\n"
             "cell\t0\t0\t0\tnumber\t600123456\t-\t*\t*\n"
             "cell\t0\t0\t1\ttext\tZażółć gęślą jaźń\t-\t*\t*\n"
             "cell\t0\t1\t0\tnumber\t48600123456\t45\t*\t*\n"
             "cell\t0\t1\t1\ttext\tduplikat\t*\t*\t*\n"
             "cell\t0\t1\t2\ttext\t600123456\t*\t*\t*\n"
             "cell\t0\t3\t0\tnumber\t12345\t10\t*\t*\n"
             "cell\t0\t3\t1\ttext\tBŁĄD!\t*\t*\t*\n"
             // Ten digits are no number: never cut into "200246912", another customer's.
             "cell\t0\t5\t0\tnumber\t1200246912\t10\t*\t*\n"
             "cell\t0\t5\t1\ttext\tBŁĄD!\t*\t*\t*\n");
  ExpectXlrd(out,
             "sheets\t1\nrows\t0\t1\nwidth\t0\t0\t4022\n"
             "cell\t0\t0\t0\ttext\t600123456\t-\t2\t1\n");
}

TEST_F(CliImport, KeepingDuplicatesListsTheNumbersInSheetOrder) {
  const fs::path file = folder / "klienci";  // a name without a dot
  fs::copy_file(kReaderFixtures / "libreoffice_biff8.xls", file);
  const ImportRun run = Import({"--keep-duplicates", file.string()});
  ASSERT_EQ(run.status, 0) << run.out << run.log;
  const std::string out = file.string() + "_out.";
  EXPECT_NE(run.out.find(R"({"loaded":3,"corrected":1,"rejected":7,"duplicates":0,"numbers":["600123456","600123456",)"
                         R"("600123456"],"result_file":")" +
                         out + "\""),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("\"repeat\""), std::string::npos);
  EXPECT_TRUE(fs::exists(out));
}

TEST_F(CliImport, OnlyTheMarksWrittenAreReported) {
  // A title across A1:C1 over the numbers: the merged area keeps B1 and C1 empty.
  const fs::path file = folder / "tytul.xls";
  {
    const auto book = xls::TXLSWorkbook::Create();
    xls::IXLSWorksheet* sheet = book->Worksheets().Add();
    sheet->Cells()->Item(1, 1)->SetValue(xls::Variant::AnsiText("Klienci sklepu 2026"));
    sheet->MergeCells(xls::TXLSArea{0, 0, 0, 2});
    sheet->Cells()->Item(2, 1)->SetValue(xls::Variant::AnsiText("600 100 200"));
    ASSERT_EQ(book->SaveAs(file.string()), xls::kSaveOk);
  }
  const ImportRun run = Import({file.string()});
  ASSERT_EQ(run.status, 0) << run.out << run.log;
  EXPECT_NE(run.out.find(R"({"cell":"A1","text_read":"Klienci sklepu 2026","text":"Klienci sklepu 2026",)"
                         R"("corrected":false,"outcome":"rejected","fill":3,"b":null,"c":null})"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(R"({"cell":"A2","text_read":"600 100 200","text":"600100200","corrected":true,)"
                         R"("outcome":"accepted","fill":46,"b":"korekta na","c":"600100200"})"),
            std::string::npos)
      << run.out;
  ExpectXlrd(file, "cell\t0\t0\t1\tempty\t\t*\t*\t*\ncell\t0\t1\t2\ttext\t600100200\t*\t*\t*\n");
}

TEST_F(CliImport, AReadOnlyFileIsToldInWordsAndItsHelpNamesEveryKind) {
  const fs::path file = folder / "klienci.xls";
  fs::copy_file(kReaderFixtures / "libreoffice_biff8.xls", file);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const ImportRun run = Import({file.string()});
  EXPECT_NE(run.out.find("Nie udało się zapisać oznaczonego pliku " + file.string() +
                         ": plik jest tylko do odczytu (kod "),
            std::string::npos)
      << run.out;
  const ImportRun help = Import({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* kind : {".xls", ".xlsx", ".csv", ".txt"}) EXPECT_NE(help.out.find(kind), std::string::npos) << kind;
}

TEST_F(CliImport, AFileThatCannotBeImportedIsLeftAloneAndExitsWithOne) {
  const fs::path file = folder / "arkusz.xlsx";
  // A package cut short, as a download that stopped half way leaves it.
  fs::copy_file(fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/xlsx/hostile_truncated.xlsx", file);
  const std::string before = ReadFile(file);
  const ImportRun run = Import({file.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, R"({"loaded":0,"corrected":0,"rejected":0,"duplicates":0,"numbers":[],"result_file":null,)"
                     R"("input_saved":false,"error":"Nie można wczytać pliku )" +
                         file.string() +
                         R"x(: plik XLSX jest uszkodzony"}
)x");
  EXPECT_EQ(ReadFile(file), before);
  EXPECT_FALSE(fs::exists(folder / "arkusz_out.xlsx"));
  EXPECT_FALSE(fs::exists(folder / "arkusz_out.xls"));
  EXPECT_FALSE(fs::exists(folder / "arkusz.xls"));
}

TEST_F(CliImport, AFileWithoutItsEndIsImportedWrittenBackAndItsOriginalKept) {
  const fs::path file = folder / "urwany.xls";
  // The workbook stream of a file, as a plain BIFF file, without its last
  // end-of-file record: every sheet is there, the stream's end is not.
  const e2e::Result cut = e2e::WriteStreamWithoutItsEnd(kReaderFixtures / "xlwt_basic.xls", file);
  ASSERT_EQ(cut.status, 0) << cut.out;
  const std::string original = ReadFile(file);
  const ImportRun run = Import({file.string()});
  ASSERT_EQ(run.status, 0) << run.out << run.log;
  EXPECT_NE(run.out.find(R"("input_saved":true,"error":null})"), std::string::npos) << run.out;
  EXPECT_EQ(ReadFile(folder / "urwany.orig.xls"), original);
  EXPECT_NE(run.log.find("Oryginał pliku zachowano jako: " + (folder / "urwany.orig.xls").string()), std::string::npos)
      << run.log;
  ExpectXlrd(file,
             "sheets\t2\n"
             "cell\t0\t1\t0\tnumber\t48600123456\t45\t*\t*\n"
             "cell\t0\t1\t1\ttext\tduplikat\t*\t*\t*\n"
             "cell\t0\t1\t2\ttext\t600123456\t*\t*\t*\n"
             "cell\t0\t2\t0\tnumber\t1.5\t10\t*\t*\n");
}

TEST_F(CliImport, AGnumericBiff7SheetKeepsItsPolishTexts) {
  const fs::path file = folder / "gnumeric.xls";
  const ImportRun run = ImportCopy("gnumeric_biff7_cp1250.xls", "gnumeric.xls");
  ASSERT_EQ(run.status, 0) << run.out << run.log;
  // Comments and drawings of a BIFF5 file have no place in the copy: the
  // original stays beside it.
  EXPECT_TRUE(fs::exists(folder / "gnumeric.orig.xls"));
  ExpectXlrd(file,
             "sheets\t3\n"
             "cell\t0\t0\t1\ttext\tZażółć gęślą jaźń\t*\t*\t*\n"
             "cell\t0\t3\t1\ttext\tBŁĄD!\t*\t*\t*\n");
}

TEST_F(CliImport, ErrorCellsBesideTheNumbersSurviveTheImport) {
  const fs::path file = folder / "bledy.xls";
  const ImportRun run = ImportCopy("gnumeric_errors.xls", "bledy.xls");
  ASSERT_EQ(run.status, 0) << run.out << run.log;
  // Every error value of the sheet, as xlrd reads it, before and after.
  const auto errors = [](const fs::path& workbook) {
    return e2e::RunProgram({TALVANE_PYTHON, "-c",
                            "import xlrd,sys\nb=xlrd.open_workbook(sys.argv[1])\n"
                            "print([(i,r,c,s.cell(r,c).value) for i,s in enumerate(b.sheets()) "
                            "for r in range(s.nrows) for c in range(s.ncols) if s.cell(r,c).ctype==5])",
                            workbook.string()});
  };
  const e2e::Result before = errors(kReaderFixtures / "gnumeric_errors.xls");
  const e2e::Result after = errors(file);
  ASSERT_EQ(before.status, 0) << before.out;
  EXPECT_NE(before.out, "[]\n");
  EXPECT_EQ(after.out, before.out);
}

// Lines of a text, sorted.
std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST_F(CliImport, ALibreOfficeSheetKeepsItsRichTextsAndErrorCells) {
  // Texts with parts in bold red or italics, a plain text equal to a rich
  // one, and =1/0 and =NA() cells, beside numbers (testdata/README.md).
  const fs::path original = fs::path(TALVANE_SOURCE_DIR) / "tests" / "testdata" / "rich_errors.xls";
  const fs::path file = folder / "bogate.xls";
  fs::copy_file(original, file);
  const ImportRun run = Import({file.string()});
  ASSERT_EQ(run.status, 0) << run.out << run.log;
  EXPECT_NE(run.out.find(R"("input_saved":true,"error":null})"), std::string::npos) << run.out;
  // The copy carries it all: no original needs keeping beside it.
  EXPECT_FALSE(fs::exists(folder / "bogate.orig.xls"));

  // Rich texts with their runs' fonts, error cells and plain texts as
  // xlrd reads them: all that was there, plus the import's marks.
  const auto show = [](const fs::path& workbook) {
    return e2e::RunProgram({TALVANE_PYTHON, std::string(TALVANE_SOURCE_DIR) + "/tests/testdata/rich_and_errors.py",
                            workbook.string()},
                           e2e::Streams::Separate);
  };
  const e2e::Result before = show(original);
  const e2e::Result after = show(file);
  ASSERT_EQ(before.status, 0) << before.err;
  ASSERT_EQ(after.status, 0) << after.err;
  std::vector<std::string> expected = SortedLines(before.out);
  const auto count = [&](const char* kind) {
    return std::count_if(expected.begin(), expected.end(), [&](const std::string& l) { return l.starts_with(kind); });
  };
  ASSERT_EQ(count("rich\t"), 3) << before.out;
  ASSERT_EQ(count("error\t"), 4) << before.out;
  for (const char* mark : {"plain\t0\t1\t1\tkorekta na", "plain\t0\t1\t2\t600123457", "plain\t0\t2\t1\tduplikat",
                           "plain\t0\t3\t1\tBŁĄD!"}) {
    expected.push_back(mark);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(SortedLines(after.out), expected) << after.out;
}

TEST_F(CliImport, BadArgumentsShowTheUsage) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {}, {"--frobnicate", "x.xls"}, {"a.xls", "b.xls"}}) {
    const ImportRun run = Import(arguments);
    EXPECT_EQ(run.status, 2) << arguments.size();
    EXPECT_NE(run.log.find("usage: talvane-cli import [--keep-duplicates] FILE"), std::string::npos) << run.log;
  }
}

// What the import says about the rows, without the names of the files it
// wrote. Gnumeric's .xls gives unfilled cells an automatic solid fill (-4105)
// where the .xlsx says "none" (-4142); both are no colour to the import.
std::string RowsAndTotals(std::string out) {
  for (std::size_t at; (at = out.find("\"fill\":-4105")) != std::string::npos;) out.replace(at, 12, "\"fill\":-4142");
  const std::size_t files = out.find(",\"result_file\"");
  return files == std::string::npos ? out : out.substr(0, files);
}

TEST_F(CliImport, AnXlsxListImportsLikeTheSameSheetSavedAsXls) {
  const fs::path xlsx = fs::path(TALVANE_SOURCE_DIR) / "xls" / "testdata" / "xlsx";
  const std::pair<fs::path, fs::path> pairs[] = {
      {xlsx / "openpyxl_list.xlsx", xlsx / "openpyxl_list.xls"},
      {xlsx / "xlsxwriter_inline_formula.xlsx", xlsx / "xlsxwriter_inline_formula.xls"},
      {xlsx / "gnumeric_list.xlsx", xlsx / "gnumeric_list.xls"},
      {xlsx / "openpyxl_empty_first_row.xlsx", xlsx / "openpyxl_empty_first_row.xls"},
      {xlsx / "libreoffice_list.xlsx", xlsx / "libreoffice_list.xls"},
      {kReaderFixtures / "zip_workbook.xlsx", kReaderFixtures / "rc4_plain_source.xls"},
  };
  for (const auto& [fromXlsx, fromXls] : pairs) {
    SCOPED_TRACE(fromXlsx.filename().string());
    const xls::testing::TestFolder pairFolder;
    const fs::path list = pairFolder / "lista.xlsx";
    const fs::path workbook = pairFolder / "arkusz.xls";
    fs::copy_file(fromXlsx, list);
    fs::copy_file(fromXls, workbook);
    const std::string original = ReadFile(list);
    const ImportRun listRun = Import({list.string()});
    const ImportRun workbookRun = Import({workbook.string()});
    ASSERT_EQ(listRun.status, 0) << listRun.out << listRun.log;
    ASSERT_EQ(workbookRun.status, 0) << workbookRun.out << workbookRun.log;
    EXPECT_NE(listRun.out.find("\"loaded\":"), std::string::npos) << listRun.out;
    EXPECT_EQ(RowsAndTotals(listRun.out), RowsAndTotals(workbookRun.out));
    EXPECT_EQ(ReadFile(list), original);
    // The marks went into a new .xls beside the list: xlrd finds them the
    // same as in the workbook marked in place.
    const e2e::Result marks =
        e2e::RunProgram({TALVANE_PYTHON, std::string(TALVANE_SOURCE_DIR) + "/tests/testdata/compare_marks.py",
                         (pairFolder / "lista.xls").string(), workbook.string()});
    EXPECT_EQ(marks.status, 0) << marks.out;
  }
}

TEST_F(CliImport, TheMarkedCopyOfAListNeverTakesTheNameOfAFileThatExists) {
  const fs::path list = folder / "lista.xlsx";
  fs::copy_file(fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/xlsx/openpyxl_list.xlsx", list);
  const std::string listBytes = ReadFile(list);
  // The user's own workbook that happens to carry the name the copy would take.
  fs::copy_file(kReaderFixtures / "xlwt_basic.xls", folder / "lista.xls");
  const std::string ownBytes = ReadFile(folder / "lista.xls");
  std::ofstream(folder / "numery.csv") << "600123456;Jan\n\"48 600 123 457\";Anna\n";

  const struct {
    fs::path input;
    const char* copy;
    const char* firstCell;  // A1 of the copy, as xlrd reads it
  } runs[] = {
      {list, "lista_2.xls", "number\t600123456"},  // lista.xls is the user's
      {list, "lista_3.xls", "number\t600123456"},  // and lista_2.xls is the first copy now
      {folder / "numery.csv", "numery.xls", "text\t600123456"},
  };
  for (const auto& r : runs) {
    SCOPED_TRACE(r.copy);
    const ImportRun run = Import({r.input.string()});
    ASSERT_EQ(run.status, 0) << run.out << run.log;
    EXPECT_NE(run.log.find("Oznaczoną kopię pliku zapisano jako: " + (folder / r.copy).string()), std::string::npos)
        << run.log;
    EXPECT_TRUE(fs::exists(folder / r.copy));
    ExpectXlrd(folder / r.copy, std::string("cell\t0\t0\t0\t") + r.firstCell + "\t-\t*\t*\n");
  }
  EXPECT_EQ(ReadFile(list), listBytes);
  EXPECT_EQ(ReadFile(folder / "lista.xls"), ownBytes);
  EXPECT_FALSE(fs::exists(folder / "lista_4.xls"));
  EXPECT_TRUE(fs::exists(folder / "numery_out.xls"));
}

}  // namespace
