// The shared string table: a file's own table taken over by index, the
// lookup that catches up with it, and a table cleared and filled again.

#include "xls/string_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace xls {
namespace {

TEST(StringTable, AFilesOwnTableIsTakenOverByIndexAndFoundByText) {
  TXLSStringTable table;
  EXPECT_EQ(table.Add(u"przed"), 0);
  // A file's table may repeat a text; the lookup finds the first.
  const std::int32_t first = table.AdoptUnused({u"600123456", u"Łódź", u"600123456", u""});
  EXPECT_EQ(first, 1);
  EXPECT_EQ(table.Count(), 5);
  EXPECT_EQ(table.UseCount(first), 0u);
  table.Use(first + 1);
  table.Use(first + 1);
  table.Use(99);  // unknown: ignored
  EXPECT_EQ(table.UseCount(first + 1), 2u);
  EXPECT_EQ(table.Text(first + 1), u"Łódź");
  EXPECT_EQ(table.Find(u"600123456"), first);
  EXPECT_EQ(table.Find(u""), first + 3);
  // Adding a text the file brought uses its entry, a new one goes at the end.
  EXPECT_EQ(table.Add(u"Łódź"), first + 1);
  EXPECT_EQ(table.UseCount(first + 1), 3u);
  EXPECT_EQ(table.Add(u"nowy"), 5);
  // A rich text is an entry of its own that a plain text never finds.
  const std::int32_t rich = table.AddRich(u"nowy", {{0, 5}});
  EXPECT_NE(rich, 5);
  EXPECT_EQ(table.Add(u"nowy"), 5);
  EXPECT_EQ(table.Find(u"nowy"), 5);
}

TEST(StringTable, AClearedTableHoldsNothingAndFillsAgain) {
  TXLSStringTable table;
  std::vector<std::u16string> many;
  for (int i = 0; i < 5000; ++i) many.push_back(u"klient " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                                                std::u16string(static_cast<std::size_t>(i % 40), u'x'));
  table.AdoptUnused(many);
  EXPECT_GE(table.Find(u"klient a"), 0);
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.Find(u"klient a"), -1);
  EXPECT_EQ(table.Text(0), u"");
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(table.Add(u"600123456"), 0);
    EXPECT_EQ(table.Add(u"600123457"), 1);
    EXPECT_EQ(table.Add(u"600123456"), 0);
    EXPECT_EQ(table.Text(1), u"600123457");
    EXPECT_EQ(table.UseCount(0), 2u);
    table.Clear();
  }
}

TEST(StringTable, EveryTextIsFoundAgainAfterTheLookupHasGrown) {
  // Texts entered one by one and adopted in bulk, across many growths of the
  // lookup; a repeat, before or after the growths, finds the first entry.
  TXLSStringTable table;
  auto text = [](int i) {
    std::u16string t = u"klient ";
    for (const char digit : std::to_string(i)) t.push_back(static_cast<char16_t>(digit));
    return t + std::u16string(static_cast<std::size_t>(i % 7), u'ż');
  };
  std::vector<std::u16string> adopted;
  std::vector<std::u16string> added;
  for (int i = 0; i < 3000; ++i) (i % 3 == 0 ? adopted : added).push_back(text(i));
  adopted.push_back(added.front());  // already in the table when adopted: the earlier entry wins
  std::vector<std::int32_t> indexOf;
  for (const std::u16string& t : added) indexOf.push_back(table.Add(t));
  const std::int32_t first = table.AdoptUnused(adopted);
  for (std::size_t i = 0; i < added.size(); ++i) {
    ASSERT_EQ(table.Find(added[i]), indexOf[i]) << i;
    EXPECT_EQ(table.Add(added[i]), indexOf[i]);
    EXPECT_EQ(table.UseCount(indexOf[i]), 2u);
  }
  for (std::size_t i = 0; i + 1 < adopted.size(); ++i)
    ASSERT_EQ(table.Find(adopted[i]), first + static_cast<std::int32_t>(i)) << i;
  EXPECT_EQ(table.Find(adopted.back()), indexOf.front());
  EXPECT_EQ(table.Find(u"600"), -1);
  EXPECT_EQ(table.Count(), static_cast<std::int32_t>(added.size() + adopted.size()));
}

}  // namespace
}  // namespace xls
