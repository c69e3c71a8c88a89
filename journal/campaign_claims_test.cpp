// A campaign is sent by one program at a time: a second claim, from the same
// process or another one, is refused while the first holds; the claim goes
// with its object and with its program, even a killed one.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "journal/journal_test_support.h"
#include "platform/test_folder.h"

namespace journal {
namespace {

using testing::CreateOrFail;
using testing::OpenJournal;

class CampaignClaims : public ::testing::Test {
 protected:
  platform::TestFolder folder;
  std::filesystem::path file = folder.Path() / "journal.sqlite";
  std::unique_ptr<TSqliteJournal> first = OpenJournal(file);
  std::unique_ptr<TSqliteJournal> second = OpenJournal(file);
};

TEST_F(CampaignClaims, OneHolderAtATimeAndEachCampaignOnItsOwn) {
  const TCampaignId a = CreateOrFail(*first, 2);
  const TCampaignId b = CreateOrFail(*first, 2);
  auto held = first->Claim(a);
  ASSERT_TRUE(held) << platform::AnsiToUtf8(held.Error().text);

  auto refused = second->Claim(a);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.Error().fault, TJournalFault::Claimed);
  EXPECT_NE(platform::AnsiToUtf8(refused.Error().text).find("inny program"), std::string::npos);
  EXPECT_FALSE(first->Claim(a)) << "the same journal object claims like any other holder";
  EXPECT_TRUE(second->Claim(b)) << "another campaign is free";

  held->reset();
  EXPECT_TRUE(second->Claim(a)) << "free once its holder let go";
}

TEST_F(CampaignClaims, AKilledProgramLeavesNoClaimBehind) {
  const TCampaignId campaign = CreateOrFail(*first, 1);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = testing::StartChild([&] {
    auto journal = TSqliteJournal::Open(file);
    if (!journal) return 2;
    auto claim = (*journal)->Claim(campaign);
    if (!claim) return 3;
    const char byte = 1;
    if (::write(ready[1], &byte, 1) != 1) return 4;
    ::pause();  // until killed
    return 0;
  });
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  EXPECT_FALSE(first->Claim(campaign)) << "held by the other program";
  ::kill(child, SIGKILL);
  testing::WaitForChild(child);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_TRUE(first->Claim(campaign));
}

}  // namespace
}  // namespace journal
