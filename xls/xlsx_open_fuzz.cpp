// Fuzzes the .xlsx reader. Input that starts as a zip file is opened as it
// is; any other input is the XML of one entry (chosen by its first byte:
// the sheet, the shared strings, the styles or the workbook entry) packed with
// plain versions of the other entries, so that the mutations reach the XML
// rather than dying on the zip checksums. Every cell read is read back.

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "xls/fuzz_read_every_cell.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/workbook.h"
#include "xls/xlsx_package.h"

namespace {

struct Entry {
  const char* name;
  std::string xml;
};

std::vector<Entry> PlainEntries() {
  const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  return {
      {"_rels/.rels", "<Relationships><Relationship Id=\"r1\" Type=\"" + rel +
                          "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships><Relationship Id=\"s1\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
       "<Relationship Id=\"t\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>"
       "<Relationship Id=\"y\" Type=\"" + rel + "/styles\" Target=\"styles.xml\"/></Relationships>"},
      {"xl/worksheets/sheet1.xml", "<worksheet xmlns=\"" + main +
                                       "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\" s=\"1\"><v>0</v></c>"
                                       "</row></sheetData></worksheet>"},
      {"xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\"><si><t>600123456</t></si></sst>"},
      {"xl/styles.xml", "<styleSheet xmlns=\"" + main +
                            "\"><fills><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
                            "patternType=\"solid\"><fgColor rgb=\"FF00FF00\"/></patternFill></fill></fills>"
                            "<cellXfs><xf fillId=\"0\"/><xf fillId=\"1\" numFmtId=\"14\"/></cellXfs></styleSheet>"},
      {"xl/workbook.xml", "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                              "\"><sheets><sheet name=\"A\" sheetId=\"1\" r:id=\"s1\"/></sheets></workbook>"},
  };
}

std::vector<std::uint8_t> Pack(const std::vector<Entry>& entries) {
  std::vector<std::uint8_t> out;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_error_fini(&error);
  if (!memory) return out;
  zip_source_keep(memory);
  zip_t* archive = zip_open_from_source(memory, ZIP_TRUNCATE, nullptr);
  if (archive) {
    for (const Entry& entry : entries) {
      zip_source_t* data = zip_source_buffer(archive, entry.xml.data(), entry.xml.size(), 0);
      const zip_int64_t index = data ? zip_file_add(archive, entry.name, data, ZIP_FL_OVERWRITE) : -1;
      if (index >= 0) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    zip_close(archive);
  }
  if (zip_source_open(memory) == 0) {
    zip_source_seek(memory, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(memory);
    zip_source_seek(memory, 0, SEEK_SET);
    if (size > 0) {
      out.resize(static_cast<std::size_t>(size));
      if (zip_source_read(memory, out.data(), out.size()) != size) out.clear();
    }
    zip_source_close(memory);
  }
  zip_source_free(memory);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  xls::TXLSWorkbook book;
  if (xls::LooksLikeZip({data, size})) {
    book.OpenBytes({data, size});
  } else if (size > 0) {
    static const std::vector<Entry> plain = PlainEntries();
    static constexpr std::size_t kFuzzedEntries[] = {2, 3, 4, 5};
    std::vector<Entry> entries = plain;
    entries[kFuzzedEntries[data[0] % 4]].xml.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    book.OpenBytes(Pack(entries));
  }
  xls::ReadEveryCell(book);
  return 0;
}
