// The in-memory storage copy that carries a VBA project from the file read
// into the file written.

#include "xls/cfb/file_storage.h"

#include <gtest/gtest.h>

#include "xls/cfb/cfb_test_support.h"

namespace xls {
namespace {

using cfb::CompoundFileReader;
using cfb::CompoundFileWriter;
using cfb::EntryInfo;
using cfb::EntryType;
using cfb::StorageId;
using cfb::testing::Pattern;
using cfb::testing::RawFile;

// One line per element in listed order: path, kind, bytes.
struct Element {
  std::u16string path;
  bool storage;
  std::vector<std::uint8_t> bytes;
  bool operator==(const Element&) const = default;
};

void Dump(const CompoundFileReader& file, cfb::EntryId storage, const std::u16string& prefix,
          std::vector<Element>& out) {
  std::vector<EntryInfo> children;
  ASSERT_EQ(file.Children(storage, children), cfb::kOk);
  for (const EntryInfo& child : children) {
    Element element{prefix + u"/" + child.name, child.type == EntryType::Storage, {}};
    if (element.storage) {
      out.push_back(element);
      Dump(file, child.id, element.path, out);
    } else {
      ASSERT_EQ(file.ReadStream(child.id, element.bytes), cfb::kOk);
      out.push_back(element);
    }
  }
}

std::vector<Element> DumpStorage(const CompoundFileReader& file, std::u16string_view name) {
  EntryInfo info;
  EXPECT_EQ(file.Find(file.Root(), name, info), cfb::kOk);
  std::vector<Element> out;
  Dump(file, info.id, u"", out);
  return out;
}

// A workbook file with macros and document properties: "_VBA_PROJECT_CUR"
// holds nested storages and empty streams.
std::vector<std::uint8_t> FileWithVbaProject() {
  CompoundFileWriter writer;
  StorageId vba = 0, code = 0, empty = 0, forms = 0;
  writer.AddStream(writer.Root(), u"Workbook", Pattern(7000, 1));
  writer.AddStream(writer.Root(), u"\u0005SummaryInformation", Pattern(400, 2));
  writer.AddStream(writer.Root(), u"\u0005DocumentSummaryInformation", Pattern(300, 3));
  writer.AddStorage(writer.Root(), u"_VBA_PROJECT_CUR", vba);
  writer.AddStream(vba, u"PROJECT", Pattern(500, 4));
  writer.AddStream(vba, u"PROJECTwm", {});
  writer.AddStorage(vba, u"VBA", code);
  writer.AddStream(code, u"_VBA_PROJECT", Pattern(4096, 5));
  writer.AddStream(code, u"dir", Pattern(900, 6));
  writer.AddStream(code, u"ThisWorkbook", {});
  writer.AddStorage(code, u"Empty", empty);
  writer.AddStorage(vba, u"UserForm1", forms);
  writer.AddStream(forms, u"\u0001CompObj", Pattern(97, 7));
  writer.AddStream(forms, u"f", Pattern(20000, 8));
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(writer.SaveToBytes(bytes), cfb::kOk);
  return bytes;
}

TEST(TXLSFileStorage, VbaProjectIsSavedWithAnIdenticalTreeAndNothingElse) {
  CompoundFileReader input;
  ASSERT_EQ(input.OpenBytes(FileWithVbaProject()), cfb::kOk);
  TXLSFileStorage copy(u"_VBA_PROJECT_CUR");
  ASSERT_EQ(copy.ReadFrom(input, input.Root()), 1);
  input.Close();  // the copy lives on its own

  CompoundFileWriter output;
  output.AddStream(output.Root(), u"Workbook", Pattern(512, 9));
  ASSERT_EQ(copy.WriteTo(output, output.Root()), 1);
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(output.SaveToBytes(bytes), cfb::kOk);

  CompoundFileReader original, saved;
  ASSERT_EQ(original.OpenBytes(FileWithVbaProject()), cfb::kOk);
  ASSERT_EQ(saved.OpenBytes(bytes), cfb::kOk);
  const auto expected = DumpStorage(original, u"_VBA_PROJECT_CUR");
  EXPECT_EQ(expected.size(), 10u);
  EXPECT_EQ(DumpStorage(saved, u"_VBA_PROJECT_CUR"), expected);

  // The document property streams of the input do not reach the saved file.
  std::vector<EntryInfo> root;
  ASSERT_EQ(saved.Children(saved.Root(), root), cfb::kOk);
  ASSERT_EQ(root.size(), 2u);
  EXPECT_EQ(root[0].name, u"Workbook");
  EXPECT_EQ(root[1].name, u"_VBA_PROJECT_CUR");
}

TEST(TXLSFileStorage, ChildrenKeepTheListedOrderSizesAndBytes) {
  CompoundFileReader input;
  ASSERT_EQ(input.OpenBytes(FileWithVbaProject()), cfb::kOk);
  TXLSFileStorage copy(u"_vba_project_cur");  // found without regard to case
  ASSERT_EQ(copy.ReadFrom(input, input.Root()), 1);
  std::vector<EntryInfo> listed;
  EntryInfo vba;
  input.Find(input.Root(), u"_VBA_PROJECT_CUR", vba);
  input.Children(vba.id, listed);
  ASSERT_EQ(copy.Children().size(), listed.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    EXPECT_EQ(copy.Children()[i]->Name(), listed[i].name);
    const auto* stream = dynamic_cast<const TXLSFileStream*>(copy.Children()[i].get());
    EXPECT_EQ(stream != nullptr, listed[i].type == EntryType::Stream);
    if (stream != nullptr) {
      EXPECT_EQ(stream->Size(), listed[i].size);
      EXPECT_EQ(stream->Data().size(), listed[i].size);
    }
  }
}

TEST(TXLSFileStorage, MissingOrBrokenStorageGivesMinusOneAndNoCopy) {
  CompoundFileReader input;
  ASSERT_EQ(input.OpenBytes(FileWithVbaProject()), cfb::kOk);
  TXLSFileStorage missing(u"_VBA_PROJECT");
  EXPECT_EQ(missing.ReadFrom(input, input.Root()), -1);
  TXLSFileStorage streamNotStorage(u"Workbook");
  EXPECT_EQ(streamNotStorage.ReadFrom(input, input.Root()), -1);
  TXLSFileStream storageNotStream(u"_VBA_PROJECT_CUR");
  EXPECT_EQ(storageNotStream.ReadFrom(input, input.Root()), -1);

  // A stream deep in the project whose chain leaves the file.
  RawFile raw(FileWithVbaProject());
  raw.SetFat(raw.Entry(raw.FindEntry(u"f")).start, 0x00FFFFFF);
  ASSERT_EQ(input.OpenBytes(raw.bytes), cfb::kOk);
  TXLSFileStorage broken(u"_VBA_PROJECT_CUR");
  EXPECT_EQ(broken.ReadFrom(input, input.Root()), -1);
  EXPECT_TRUE(broken.Children().empty());
}

TEST(TXLSFileStorage, StorageOfAVersion4FileIsWrittenIntoVersion3) {
  CompoundFileReader input;
  ASSERT_EQ(input.OpenBytes(cfb::testing::HandBuiltVersion4File()), cfb::kOk);
  TXLSFileStorage copy(u"Sub");
  ASSERT_EQ(copy.ReadFrom(input, input.Root()), 1);
  CompoundFileWriter output;
  ASSERT_EQ(copy.WriteTo(output, output.Root()), 1);
  ASSERT_EQ(copy.WriteTo(output, output.Root()), 1);  // a second write replaces the first
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(output.SaveToBytes(bytes), cfb::kOk);
  CompoundFileReader saved;
  ASSERT_EQ(saved.OpenBytes(bytes), cfb::kOk);
  EXPECT_EQ(saved.MajorVersion(), 3);
  const std::vector<Element> expected{{u"/Inner", false, cfb::testing::kV4Inner}};
  EXPECT_EQ(DumpStorage(saved, u"Sub"), expected);
  std::vector<EntryInfo> root;
  saved.Children(saved.Root(), root);
  EXPECT_EQ(root.size(), 1u);
}

}  // namespace
}  // namespace xls
