#include "app/window/message_editor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/window/window_test_fixture.h"

namespace app {
namespace {

using Clock = std::chrono::steady_clock;
using platform::DialogResult;

class MessageEditor : public testing::WindowTest {
 protected:
  void SetUp() override {
    Start();
    view.Memo1.Focus();
  }
  // Waits for the normalisation of the last change.
  bool Normalised() {
    return RunUntil([&] { return !form->Timer2().Enabled(); }, std::chrono::seconds(10));
  }
  AnsiString Repeat(char c, int count) { return AnsiString(static_cast<size_t>(count), c); }
};

TEST_F(MessageEditor, PolishPhraseIsShownPlainWithTheCaretKeptAndTheRawCopyKept) {
  view.Memo1.Type(Ansi("Zażółć gęślą jaźń"));
  view.Memo1.SetSelStart(6);  // after "Zażółć"
  EXPECT_TRUE(form->Timer2().Enabled());
  EXPECT_EQ(view.Memo1.Text(), Ansi("Zażółć gęślą jaźń"));  // not before the pause
  ASSERT_TRUE(Normalised());
  EXPECT_EQ(view.Memo1.Text(), "Zazolc gesla jazn");
  EXPECT_EQ(view.Memo1.SelStart(), 6);
  EXPECT_FALSE(view.Memo1.Updating());
  EXPECT_EQ(view.Label7.Caption(), "Znak: 17");
  EXPECT_EQ(view.Label6.Caption(), "SMS: 1");
  EXPECT_EQ(view.Memo2.Text(), Ansi("Zażółć gęślą jaźń"));
  EXPECT_FALSE(form->Timer2().Enabled());
}

TEST_F(MessageEditor, NormalisationOfTypedTexts) {
  struct Case {
    AnsiString typed;
    AnsiString shown;
    const char* parts;
    const char* characters;
  };
  const Case cases[] = {
      {Ansi("é"), "?", "SMS: 1", "Znak: 1"},
      {Ansi("xęęłęóy"), "xy", "SMS: 1", "Znak: 2"},
      {Ansi("ęęłęóęęłęó"), "eeleo", "SMS: 1", "Znak: 5"},  // only the first goes
      {"a\r\nb", "a\r\nb", "SMS: 1", "Znak: 4"},             // a line break counts twice
      {Repeat('a', 160), Repeat('a', 160), "SMS: 1", "Znak: 160"},
      {Repeat('a', 161), Repeat('a', 161), "SMS: 2", "Znak: 161"},
      {"   ", "   ", "SMS: 0", "Znak: 3"},  // all blank: nothing to send
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    view.Memo1.SetText(c.typed);
    ASSERT_TRUE(Normalised());
    EXPECT_EQ(view.Memo1.Text(), c.shown);
    EXPECT_EQ(view.Label6.Caption(), c.parts);
    EXPECT_EQ(view.Label7.Caption(), c.characters);
    EXPECT_EQ(view.Memo2.Text(), c.typed);
  }
}

TEST_F(MessageEditor, AnEmptiedEditorShowsNoPartsAndNoCharacters) {
  view.Memo1.Type("abc");
  ASSERT_TRUE(Normalised());
  ASSERT_EQ(view.Label6.Caption(), "SMS: 1");
  view.Memo1.SelectAll();
  view.Memo1.Type("");
  ASSERT_TRUE(Normalised());
  EXPECT_EQ(view.Label6.Caption(), "SMS: 0");
  EXPECT_EQ(view.Label7.Caption(), "Znak: 0");
}

TEST_F(MessageEditor, AChangeTurnsARedEditorWhite) {
  view.Memo1.SetColor(clRed);
  view.Memo1.Type("a");
  EXPECT_EQ(view.Memo1.Color(), clWhite);
}

TEST_F(MessageEditor, TwoChangesTwoHundredMillisecondsApartGiveOneNormalisation) {
  int normalisations = 0;
  Clock::time_point normalisedAt;
  view.Memo2.OnChange = [&] {
    ++normalisations;
    normalisedAt = Clock::now();
  };
  view.Memo1.Type("a");
  // No event runs meanwhile, so nothing can fire early on a slow machine.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  view.Memo1.Type("b");
  const Clock::time_point second = Clock::now();
  ASSERT_TRUE(Normalised());
  loop.ProcessEventsFor(500);
  EXPECT_EQ(normalisations, 1);
  EXPECT_GE(normalisedAt - second, std::chrono::milliseconds(300));
  EXPECT_EQ(view.Memo2.Text(), "ab");
}

TEST_F(MessageEditor, TheCampaignTextHoldsWhatWasTypedJustNow) {
  view.Memo1.Type(Ansi("  Zażółć"));
  ASSERT_TRUE(Normalised());
  view.Memo1.Type(Ansi(" gęślą\r\n"));
  EXPECT_TRUE(form->Timer2().Enabled());
  // The editor already showed the first word plain when the rest was typed.
  EXPECT_EQ(form->MessageEditor().CampaignText().text, Ansi("Zazolc gęślą"));
  EXPECT_FALSE(form->MessageEditor().CampaignText().ucs2);
  EXPECT_FALSE(form->Timer2().Enabled());
  EXPECT_EQ(view.Memo1.Text(), "  Zazolc gesla\r\n");
}

TEST_F(MessageEditor, FlashOptionOnALongTextAsksAndNoKeepsEverything) {
  form->Timer2().SetEnabled(false);
  view.Memo1.SetText(Repeat('x', 200));
  view.CheckBox5.SetChecked(false);
  env.dialogs.ScriptAnswers({DialogResult::No});
  view.Memo1.LoseFocus();
  view.CheckBox5.Click();
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_EQ(env.dialogs.Boxes()[0].text, Ansi("Uwaga! tekst wiadomości zostanie skrócony do 150 znaków. Akceptujesz?    "));
  EXPECT_EQ(env.dialogs.Boxes()[0].caption, Ansi(" PYTANIE"));
  EXPECT_EQ(env.dialogs.Boxes()[0].buttons, platform::DialogButtons::YesNoCancel);
  EXPECT_FALSE(view.CheckBox5.Checked());
  EXPECT_EQ(view.Memo1.Text(), Repeat('x', 200));
  EXPECT_EQ(view.Memo1.MaxLength(), kMessageLimit);
  EXPECT_EQ(view.Memo2.MaxLength(), kMessageLimit);
  EXPECT_TRUE(view.Memo1.Focused());
}

TEST_F(MessageEditor, FlashOptionOnALongTextAndYesCutsItTo150) {
  view.Memo1.Type(Repeat('x', 200));
  env.dialogs.ScriptAnswers({DialogResult::Yes});
  view.CheckBox5.Click();
  EXPECT_TRUE(view.CheckBox5.Checked());
  EXPECT_EQ(view.Memo1.Text(), Repeat('x', 150));
  EXPECT_EQ(view.Memo1.MaxLength(), kFlashMessageLimit);
  EXPECT_EQ(view.Memo2.MaxLength(), kFlashMessageLimit);
  EXPECT_TRUE(form->Timer2().Enabled());  // the cut is a change like any other
  ASSERT_TRUE(Normalised());
  EXPECT_EQ(view.Label7.Caption(), "Znak: 150");
  view.Memo1.Type("more");
  EXPECT_EQ(view.Memo1.Text().size(), 150u);

  view.CheckBox5.Click();  // off again
  EXPECT_EQ(view.Memo1.MaxLength(), kMessageLimit);
  EXPECT_EQ(env.dialogs.Boxes().size(), 1u);
}

TEST_F(MessageEditor, FlashOptionOnAShortTextAsksNothingAndThePolishOptionOnlyFocuses) {
  EXPECT_EQ(view.Memo1.MaxLength(), kMessageStartLimit);
  view.Memo1.Type(Repeat('x', 150));
  view.CheckBox5.Click();
  EXPECT_TRUE(view.CheckBox5.Checked());
  EXPECT_EQ(view.Memo1.MaxLength(), kFlashMessageLimit);
  EXPECT_TRUE(env.dialogs.Boxes().empty());

  view.Memo1.LoseFocus();
  view.CheckBox4.Click();
  EXPECT_TRUE(view.Memo1.Focused());
  EXPECT_EQ(view.Memo1.Text(), Repeat('x', 150));
}

TEST_F(MessageEditor, PolishLettersAllowedStayInTheEditorAndGoOutInUcs2) {
  view.Memo1.Type(Ansi("Zażółć gęślą jaźń é"));
  ASSERT_TRUE(Normalised());
  ASSERT_EQ(view.Memo1.Text(), "Zazolc gesla jazn ?");
  view.Memo1.LoseFocus();
  view.CheckBox4.Click();  // ticked: the folded letters come back from the raw copy
  EXPECT_TRUE(view.Memo1.Focused());
  EXPECT_EQ(view.Memo1.Text(), Ansi("Zażółć gęślą jaźń ?"));
  EXPECT_EQ(view.Label7.Caption(), "Znak: 19");
  const TCampaignText sent = form->MessageEditor().CampaignText();
  EXPECT_EQ(sent.text, Ansi("Zażółć gęślą jaźń ?"));
  EXPECT_TRUE(sent.ucs2);
  view.CheckBox4.Click();  // unticked: as before
  EXPECT_EQ(view.Memo1.Text(), "Zazolc gesla jazn ?");
  EXPECT_FALSE(form->MessageEditor().CampaignText().ucs2);
}

TEST_F(MessageEditor, PartsCountedAtSeventyUcs2CharactersForOnePartAndSixtySevenPerPartOfALongText) {
  struct Case {
    int letters;
    bool polish;
    const char* parts;
  };
  const Case cases[] = {
      {70, true, "SMS: 1"},  {71, true, "SMS: 2"},  {134, true, "SMS: 2"},
      {135, true, "SMS: 3"}, {71, false, "SMS: 1"}, {160, false, "SMS: 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.letters) + (c.polish ? " with Polish letters" : " plain"));
    view.CheckBox4.SetChecked(c.polish);
    AnsiString typed;
    for (int i = 0; i < c.letters; ++i) typed += Ansi("ą");
    view.Memo1.SetText(typed);
    ASSERT_TRUE(Normalised());
    EXPECT_EQ(view.Memo1.Text(), c.polish ? typed : Repeat('a', c.letters));
    EXPECT_EQ(view.Label6.Caption(), c.parts);
    EXPECT_EQ(view.Label7.Caption(), "Znak: " + std::to_string(c.letters));
  }
}

TEST_F(MessageEditor, ATextCutAtTheLongestMessageIsSaidSoInTheLogOnce) {
  const auto cutLines = [&] {
    int count = 0;
    for (int i = 0; i < view.LogMemo.LineCount(); ++i) {
      count += view.LogMemo.Line(i).find(Ansi("dłuższy tekst zostaje obcięty")) != AnsiString::npos;
    }
    return count;
  };
  view.Memo1.Type(Repeat('x', kMessageStartLimit - 1));
  ASSERT_TRUE(Normalised());
  EXPECT_EQ(cutLines(), 0);
  view.Memo1.Type(Repeat('y', 100));  // a paste past the limit
  ASSERT_TRUE(Normalised());
  EXPECT_EQ(view.Memo1.Text().size(), static_cast<size_t>(kMessageStartLimit));
  EXPECT_EQ(cutLines(), 1);
  EXPECT_NE(view.LogMemo.Line(view.LogMemo.LineCount() - 1).find("1224"), AnsiString::npos);
  view.Memo1.Type("z");  // still at the limit: said already
  ASSERT_TRUE(Normalised());
  EXPECT_EQ(cutLines(), 1);
}

}  // namespace
}  // namespace app
