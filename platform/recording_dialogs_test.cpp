#include "platform/recording_dialogs.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(RecordingDialogs, RecordsEveryBoxAndAnswersFromTheScript) {
  RecordingDialogs dialogs;
  dialogs.ScriptAnswers({DialogResult::Yes, DialogResult::No});
  EXPECT_EQ(dialogs.ShowMessage("q1", " PYTANIE", DialogIcon::Question, DialogButtons::YesNoCancel),
            DialogResult::Yes);
  EXPECT_EQ(dialogs.ShowMessage("q2", " PYTANIE", DialogIcon::Question, DialogButtons::YesNoCancel),
            DialogResult::No);
  // Script used up: a question is closed (Cancel), an Ok box answers Ok.
  EXPECT_EQ(dialogs.ShowMessage("q3", " PYTANIE", DialogIcon::Question, DialogButtons::YesNoCancel),
            DialogResult::Cancel);
  EXPECT_EQ(dialogs.ShowMessage("info", " INFORMACJA", DialogIcon::Information, DialogButtons::Ok),
            DialogResult::Ok);

  EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"q1", "q2", "q3", "info"}));
  const auto boxes = dialogs.Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[3].caption, " INFORMACJA");
  EXPECT_EQ(boxes[3].icon, DialogIcon::Information);
  EXPECT_EQ(boxes[0].buttons, DialogButtons::YesNoCancel);

  dialogs.Clear();
  EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST(Dialogs, TheInstalledServiceIsUsedUntilRemoved) {
  RecordingDialogs mine;
  InstallDialogs(&mine);
  EXPECT_EQ(&CurrentDialogs(), &mine);
  CurrentDialogs().ShowMessage("x", " BŁĄD !", DialogIcon::Error, DialogButtons::Ok);
  EXPECT_EQ(mine.Texts().size(), 1u);

  InstallDialogs(nullptr);
  EXPECT_NE(&CurrentDialogs(), &mine);
  // The default never blocks: it answers as a closed box does.
  EXPECT_EQ(CurrentDialogs().ShowMessage("y", " PYTANIE", DialogIcon::Question, DialogButtons::YesNoCancel),
            DialogResult::Cancel);
  EXPECT_EQ(mine.Texts().size(), 1u);
}

}  // namespace
}  // namespace platform
