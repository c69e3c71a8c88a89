#include "app/window/testing/memory_log.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(MemoryLog, LinesAndPositionsCountLikeTheControl) {
  MemoryLog log("LogMemo");
  EXPECT_EQ(log.LineCount(), 0);
  EXPECT_EQ(log.TextLength(), 0);

  // A text with a line break adds more than one line.
  log.AppendLine("\r\nImport danych z arkusza excel");
  ASSERT_EQ(log.LineCount(), 2);
  EXPECT_EQ(log.Line(0), "");
  EXPECT_EQ(log.Line(1), "Import danych z arkusza excel");
  // Each line ends with a break counted as one character; the caret waits at the end.
  EXPECT_EQ(log.TextLength(), 1 + 30);
  EXPECT_EQ(log.CaretPosition(), log.TextLength());

  log.AppendLine("a\nb\rc");
  EXPECT_EQ(log.LineCount(), 5);
  EXPECT_EQ(log.Line(4), "c");
}

TEST(MemoryLog, InsertReplaceAndDeleteLines) {
  MemoryLog log("LogMemo");
  for (const char* line : {"one", "Pozycja: 0", "three"}) log.AppendLine(line);
  log.InsertLine(1, "inserted");
  log.ReplaceLine(2, "Pozycja: A[2]");
  log.DeleteLine(0);
  ASSERT_EQ(log.LineCount(), 3);
  EXPECT_EQ(log.Line(0), "inserted");
  EXPECT_EQ(log.Line(1), "Pozycja: A[2]");
  EXPECT_EQ(log.Line(2), "three");
  EXPECT_EQ(log.CaretPosition(), log.TextLength());
  log.Clear();
  EXPECT_EQ(log.LineCount(), 0);
}

TEST(MemoryLog, InsertionAttributesFollowTheFontAndTheirSetters) {
  MemoryLog log("LogMemo");
  log.SetFont(TFont{"Tahoma", 9, false, true, true, 0x3E3E3E});
  log.AppendLine("a");
  EXPECT_EQ(log.CharAttributes(0, 0), (TFont{"Tahoma", 9, false, false, false, 0x3E3E3E}));
  log.SetInsertionColor(clFuchsia);
  log.AppendLine("b");
  log.SetInsertionColor(clBlue);
  log.SetInsertionBold(true);
  log.AppendLine("c");
  EXPECT_EQ(log.CharAttributes(1, 0).Color, clFuchsia);
  EXPECT_FALSE(log.CharAttributes(1, 0).Bold);
  EXPECT_EQ(log.CharAttributes(2, 0).Color, clBlue);
  EXPECT_TRUE(log.CharAttributes(2, 0).Bold);
  // A replaced line keeps the attributes of its first character.
  log.ReplaceLine(1, "bbb");
  EXPECT_EQ(log.CharAttributes(1, 2).Color, clFuchsia);
}

TEST(MemoryLog, SelectionIsClampedToTheText) {
  MemoryLog log("LogMemo");
  log.AppendLine("abc");
  log.Select(2, 100);
  EXPECT_EQ(log.CaretPosition(), 2);
  EXPECT_EQ(log.SelectionLength(), 2);  // "c" and the line break
  log.SetSelectionAttributes(TFont{"Tahoma", 9, true, false, false, clRed});
  EXPECT_EQ(log.CharAttributes(0, 2).Color, clRed);
  EXPECT_NE(log.CharAttributes(0, 1).Color, clRed);
  log.Select(-5, 1);
  EXPECT_EQ(log.CaretPosition(), 0);
}

}  // namespace
}  // namespace app
