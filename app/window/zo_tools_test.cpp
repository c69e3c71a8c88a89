#include "app/window/zo_tools.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/window/testing/memory_form.h"
#include "app/window/testing/memory_log.h"
#include "app/window/test_support.h"

namespace app {
namespace {

constexpr const char* kKey = "software\\Talvane\\GSM";

class RegistryHelpers : public ::testing::Test {
 protected:
  testing::TestEnvironment env;
};

TEST_F(RegistryHelpers, ReadsFallBackToTheDefaultOnEveryKindOfFailure) {
  // No key at all.
  EXPECT_EQ(RegReadStr("PortCOM", "COM1", kKey), "COM1");
  EXPECT_EQ(RegReadInt("Width", 77, kKey), 77);
  EXPECT_TRUE(RegReadBool("CheckSignal", true, kKey));
  EXPECT_FALSE(RegReadBool("CheckSignal", false, kKey));

  ASSERT_EQ(env.registry.WriteDword(kKey, "PortCOM", 3), platform::RegistryStatus::Ok);
  ASSERT_EQ(env.registry.WriteString(kKey, "CheckPower", "1"), platform::RegistryStatus::Ok);
  // A value of the wrong type reads as an error.
  EXPECT_EQ(RegReadStr("PortCOM", "COM1", kKey), "COM1");
  EXPECT_TRUE(RegReadBool("CheckPower", true, kKey));
  EXPECT_FALSE(RegReadBool("CheckPower", false, kKey));
  EXPECT_EQ(RegReadInt("PortCOM", -1, kKey), -1);
  // A missing value in an existing key.
  EXPECT_EQ(RegReadStr("Other", "x", kKey), "x");
}

TEST_F(RegistryHelpers, IntegersAreDecimalStrings) {
  struct Case {
    const char* stored;
    int expected;
  };
  const Case cases[] = {
      {"900", 900}, {"-20", -20}, {"  15", 15}, {"+7", 7}, {"0", 0},          {"2147483647", 2147483647},
      {"", -1},     {"abc", -1},  {"12x", -1},  {"15 ", -1}, {"99999999999", -1}, {"1.5", -1},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(env.registry.WriteString(kKey, "Value", c.stored), platform::RegistryStatus::Ok);
    EXPECT_EQ(RegReadInt("Value", -1, kKey), c.expected) << "stored \"" << c.stored << "\"";
  }
}

TEST_F(RegistryHelpers, WritesKeepTheirTypesAndCreateTheKey) {
  EXPECT_TRUE(RegWriteStr("PortCOM", "/dev/ttyUSB0", kKey));
  EXPECT_TRUE(RegWriteInt("Width", -20, "\\Software\\Talvane\\frmMain"));
  EXPECT_TRUE(RegWriteBool("CheckSignal", false, kKey));
  EXPECT_TRUE(RegWriteBool("CheckPower", true, kKey));

  std::string text;
  std::uint32_t number = 7;
  EXPECT_EQ(env.registry.ReadString(kKey, "PortCOM", text), platform::RegistryStatus::Ok);
  EXPECT_EQ(text, "/dev/ttyUSB0");
  EXPECT_EQ(env.registry.ReadString("\\Software\\Talvane\\frmMain", "Width", text), platform::RegistryStatus::Ok);
  EXPECT_EQ(text, "-20");
  EXPECT_EQ(env.registry.ReadDword(kKey, "CheckSignal", number), platform::RegistryStatus::Ok);
  EXPECT_EQ(number, 0u);
  EXPECT_EQ(env.registry.ReadDword(kKey, "CheckPower", number), platform::RegistryStatus::Ok);
  EXPECT_EQ(number, 1u);

  EXPECT_EQ(RegReadStr("PortCOM", "COM1", kKey), "/dev/ttyUSB0");
  EXPECT_EQ(RegReadInt("Width", 0, "\\Software\\Talvane\\frmMain"), -20);
  EXPECT_FALSE(RegReadBool("CheckSignal", true, kKey));
}

TEST_F(RegistryHelpers, AFailedWriteReturnsFalseAndShowsNothing) {
  // The store's folder cannot be created: a file stands in its way.
  std::ofstream(env.folder / "blocker") << "x";
  platform::Registry blocked(env.folder / "blocker" / "registry.reg");
  platform::InstallRegistry(&blocked);
  EXPECT_FALSE(RegWriteStr("PortCOM", "COM3", kKey));
  EXPECT_FALSE(RegWriteInt("Width", 1, kKey));
  EXPECT_FALSE(RegWriteBool("CheckSignal", true, kKey));
  EXPECT_EQ(RegReadStr("PortCOM", "COM1", kKey), "COM1");
  EXPECT_TRUE(env.dialogs.Boxes().empty());
  platform::InstallRegistry(&env.registry);
}

TEST(MessageBoxes, EachHelperShowsItsIconAndButtons) {
  testing::TestEnvironment env;
  env.dialogs.ScriptAnswers({platform::DialogResult::Ok, platform::DialogResult::Ok, platform::DialogResult::Ok,
                             platform::DialogResult::Yes});
  ErrorBox("e", " B");
  InfoBox("i", " I");
  WarningBox("w", " O");
  EXPECT_EQ(QuestionBox("q", " P"), platform::DialogResult::Yes);
  EXPECT_NE(QuestionBox("q2", " P"), platform::DialogResult::Yes);  // closing the box is not Yes

  const auto boxes = env.dialogs.Boxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[0].icon, platform::DialogIcon::Error);
  EXPECT_EQ(boxes[1].icon, platform::DialogIcon::Information);
  EXPECT_EQ(boxes[2].icon, platform::DialogIcon::Warning);
  EXPECT_EQ(boxes[3].icon, platform::DialogIcon::Question);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(boxes[i].buttons, platform::DialogButtons::Ok);
  EXPECT_EQ(boxes[3].buttons, platform::DialogButtons::YesNoCancel);
  EXPECT_EQ(boxes[0].text, "e");
  EXPECT_EQ(boxes[0].caption, " B");
}

// ---- AppendLogLine ----

MemoryLog LogWithLines(int count) {
  MemoryLog log("LogMemo");
  log.SetFont(TFont{"Tahoma", 9, false, false, false, 0x3E3E3E});
  for (int i = 0; i < count; ++i) log.AppendLine("line " + std::to_string(i));
  return log;
}

TEST(AppendLogLine, TrimsOnlyALogOfMoreThan400Lines) {
  struct Case {
    int before;
    int after;
    const char* firstLine;
  };
  const Case cases[] = {{399, 400, "line 0"}, {400, 401, "line 0"}, {401, 352, "line 50"}, {500, 451, "line 50"}};
  for (const Case& c : cases) {
    MemoryLog log = LogWithLines(c.before);
    AppendLogLine(log, "new", 0, 9, "Tahoma", TLogFontStyle::Regular, clGray);
    EXPECT_EQ(log.LineCount(), c.after) << c.before << " lines before";
    EXPECT_EQ(log.Line(0), c.firstLine);
    EXPECT_EQ(log.Line(log.LineCount() - 1), "new");
  }
  // Plain lines never trim.
  MemoryLog log = LogWithLines(500);
  log.AppendLine("plain");
  EXPECT_EQ(log.LineCount(), 501);
}

TEST(AppendLogLine, ColoursTheGivenLengthOfTheNewLine) {
  MemoryLog log = LogWithLines(2);
  const TFont insertion = log.InsertionAttributes();
  AppendLogLine(log, "Modem GSM", 0, 9, "Tahoma", TLogFontStyle::Regular, clGreen);
  AppendLogLine(log, "Koniec importu", 5, 12, "Verdana", TLogFontStyle::Bold, clRed);

  for (int column = 0; column < 9; ++column) {
    EXPECT_EQ(log.CharAttributes(2, column), (TFont{"Tahoma", 9, false, false, false, clGreen})) << column;
  }
  for (int column = 0; column < 5; ++column) {
    EXPECT_EQ(log.CharAttributes(3, column), (TFont{"Verdana", 12, true, false, false, clRed})) << column;
  }
  // The rest of the line keeps the insertion attributes it was added with:
  // those of the log, made bold by the previous AppendLogLine.
  TFont rest = insertion;
  rest.Bold = true;
  EXPECT_EQ(log.CharAttributes(3, 5), rest);
  EXPECT_EQ(log.CharAttributes(3, 13), rest);
  // Earlier lines are untouched.
  EXPECT_EQ(log.CharAttributes(1, 0), insertion);
}

TEST(AppendLogLine, LeavesTheCaretAtTheVisibleEndWithBoldInsertion) {
  MemoryLog log = LogWithLines(60);
  log.ScrollToTop();
  log.Select(3, 4);
  AppendLogLine(log, "Modem GSM odłączony", 0, 9, "Tahoma", TLogFontStyle::Regular, clBlack);

  EXPECT_EQ(log.CaretPosition(), log.TextLength());
  EXPECT_EQ(log.SelectionLength(), 0);
  EXPECT_TRUE(log.LineVisible(log.LineCount() - 1));
  EXPECT_FALSE(log.LineVisible(0));
  EXPECT_TRUE(log.InsertionAttributes().Bold);
  EXPECT_FALSE(log.Updating());

  // The next plain line is bold in the insertion colour.
  log.AppendLine("plain");
  EXPECT_TRUE(log.CharAttributes(log.LineCount() - 1, 0).Bold);
  EXPECT_EQ(log.CharAttributes(log.LineCount() - 1, 0).Color, 0x3E3E3Eu);
}

TEST(AppendLogLine, WorksOnAnEmptyLog) {
  MemoryLog log("LogMemo");
  AppendLogLine(log, "first", 0, 9, "Tahoma", TLogFontStyle::Regular, clGray);
  ASSERT_EQ(log.LineCount(), 1);
  EXPECT_EQ(log.Line(0), "first");
  EXPECT_EQ(log.CharAttributes(0, 4).Color, clGray);
  EXPECT_EQ(log.TextLength(), 6);
  EXPECT_EQ(log.CaretPosition(), 6);
}

TEST(SetWindowZOrder, ChangesOnlyTheStackingOrder) {
  MemoryForm window("frmTelList");
  window.SetLeft(10);
  window.SetTop(10);
  window.SetClientSize(293, 484);
  window.Show();
  SetWindowZOrder(window, true, false);
  EXPECT_TRUE(window.Topmost());
  SetWindowZOrder(window, false, false);
  EXPECT_FALSE(window.Topmost());
  EXPECT_FALSE(window.Active());
  EXPECT_EQ(window.Left(), 10);
  EXPECT_EQ(window.Top(), 10);
  EXPECT_EQ(window.ClientWidth(), 293);
  EXPECT_EQ(window.ClientHeight(), 484);
  SetWindowZOrder(window, false, true);
  EXPECT_TRUE(window.Active());
}

}  // namespace
}  // namespace app
