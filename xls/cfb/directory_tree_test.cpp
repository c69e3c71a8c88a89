// The directory the writer makes: each storage's children form a valid
// red-black tree ordered by name length, then by upper-cased name.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "xls/cfb/cfb_test_support.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/result_codes.h"

namespace xls::cfb {
namespace {

using testing::RawFile;

constexpr std::uint8_t kRed = 0, kBlack = 1;

// The test's own upper case, for the letters the names below use.
char16_t Upper(char16_t c) {
  static const std::map<char16_t, char16_t> polish = {{u'ą', u'Ą'}, {u'ć', u'Ć'}, {u'ę', u'Ę'}, {u'ł', u'Ł'},
                                                      {u'ń', u'Ń'}, {u'ó', u'Ó'}, {u'ś', u'Ś'}, {u'ź', u'Ź'},
                                                      {u'ż', u'Ż'}};
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  const auto it = polish.find(c);
  return it == polish.end() ? c : it->second;
}

bool Before(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return Upper(a[i]) < Upper(b[i]);
  }
  return false;
}

struct TreeCheck {
  const RawFile& file;
  std::vector<std::u16string> inOrder;
  std::set<std::uint32_t> seen;

  // Returns the black height of the subtree; records violations as failures.
  int Walk(std::uint32_t node, bool parentRed) {
    if (node == testing::kNone) return 1;
    EXPECT_TRUE(seen.insert(node).second) << "entry " << node << " reached twice";
    const testing::RawEntry e = file.Entry(node);
    EXPECT_TRUE(e.color == kRed || e.color == kBlack);
    EXPECT_FALSE(parentRed && e.color == kRed) << "red entry " << node << " under a red parent";
    const int left = Walk(e.left, e.color == kRed);
    inOrder.push_back(e.name);
    const int right = Walk(e.right, e.color == kRed);
    EXPECT_EQ(left, right) << "black heights differ below entry " << node;
    return left + (e.color == kBlack ? 1 : 0);
  }
};

void ExpectValidTree(const RawFile& file, std::uint32_t storage, std::vector<std::u16string> names) {
  const std::uint32_t root = file.Entry(storage).child;
  if (names.empty()) {
    EXPECT_EQ(root, testing::kNone);
    return;
  }
  EXPECT_EQ(file.Entry(root).color, kBlack) << "the tree's root is black";
  TreeCheck check{file, {}, {}};
  check.Walk(root, false);
  std::sort(names.begin(), names.end(), Before);
  EXPECT_EQ(check.inOrder, names);
  for (std::size_t i = 1; i < check.inOrder.size(); ++i) EXPECT_TRUE(Before(check.inOrder[i - 1], check.inOrder[i]));
}

std::vector<std::u16string> DistinctNames(std::size_t count, std::mt19937& random) {
  const std::u16string letters = u"aAbBcCzZąĄłŁżŻ_0";
  std::vector<std::u16string> names;
  std::set<std::u16string> upper;
  while (names.size() < count) {
    std::u16string name(1 + random() % 6 + (random() % 8 == 0 ? 20 : 0), u'a');
    for (auto& c : name) c = letters[random() % letters.size()];
    std::u16string key = name;
    for (auto& c : key) c = Upper(c);
    if (upper.insert(key).second) names.push_back(name);
  }
  return names;
}

TEST(CompoundFileDirectoryTree, ChildrenFormValidRedBlackTreesOfEverySize) {
  std::mt19937 random(1234);
  for (std::size_t count = 0; count <= 70; ++count) {
    SCOPED_TRACE(count);
    const auto rootNames = DistinctNames(count, random);
    const auto subNames = DistinctNames(count / 2 + 1, random);
    CompoundFileWriter writer;
    StorageId sub = 0;
    ASSERT_EQ(writer.AddStorage(writer.Root(), u"Storage with a long name", sub), kOk);
    for (const auto& name : subNames) writer.AddStream(sub, name, testing::Pattern(count, 1));
    for (const auto& name : rootNames) writer.AddStream(writer.Root(), name, {});
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(writer.SaveToBytes(bytes), kOk);
    const RawFile file(bytes);

    EXPECT_EQ(file.Entry(0).name, u"Root Entry");
    EXPECT_EQ(file.Entry(0).color, kBlack);
    auto allRoot = rootNames;
    allRoot.push_back(u"Storage with a long name");
    ExpectValidTree(file, 0, allRoot);
    ExpectValidTree(file, file.FindEntry(u"Storage with a long name"), subNames);
  }
}

TEST(CompoundFileDirectoryTree, OrderIsByLengthBeforeLetters) {
  CompoundFileWriter writer;
  for (const char16_t* name : {u"Workbook", u"b", u"ZZ", u"aaa", u"AB", u"\u0005SummaryInformation"}) {
    writer.AddStream(writer.Root(), name, {});
  }
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(writer.SaveToBytes(bytes), kOk);
  const RawFile file(bytes);
  TreeCheck check{file, {}, {}};
  check.Walk(file.Entry(0).child, false);
  EXPECT_EQ(check.inOrder,
            (std::vector<std::u16string>{u"b", u"AB", u"ZZ", u"aaa", u"Workbook", u"\u0005SummaryInformation"}));
}

}  // namespace
}  // namespace xls::cfb
