#include "journal/message_states.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace journal {
namespace {

constexpr std::array kAllMessageStates{TMessageState::Queued,    TMessageState::Sending,    TMessageState::Sent,
                                       TMessageState::Failed,    TMessageState::Uncertain,  TMessageState::Skipped,
                                       TMessageState::Delivered, TMessageState::Undelivered};

// Every change a message may make; any other pair is refused.
constexpr std::array kAllowed{
    std::pair{TMessageState::Queued, TMessageState::Sending},     // taken by a modem
    std::pair{TMessageState::Queued, TMessageState::Skipped},     // a number that cannot be sent to
    std::pair{TMessageState::Sending, TMessageState::Sent},       // every part sent
    std::pair{TMessageState::Sending, TMessageState::Failed},     // every part answered, one failed
    std::pair{TMessageState::Sending, TMessageState::Uncertain},  // crash after a part was submitted
    std::pair{TMessageState::Sending, TMessageState::Queued},     // crash with nothing in doubt: resumes
    std::pair{TMessageState::Uncertain, TMessageState::Queued},   // the operator resends
    std::pair{TMessageState::Sent, TMessageState::Delivered},
    std::pair{TMessageState::Sent, TMessageState::Undelivered},
};

bool Listed(TMessageState from, TMessageState to) {
  for (const auto& [a, b] : kAllowed) {
    if (a == from && b == to) return true;
  }
  return false;
}

TEST(MessageStates, OnlyTheListedChangesAreAllowed) {
  for (const TMessageState from : kAllMessageStates) {
    for (const TMessageState to : kAllMessageStates) {
      EXPECT_EQ(IsAllowedTransition(from, to), Listed(from, to)) << StateName(from) << " -> " << StateName(to);
    }
  }
}

TEST(MessageStates, AnUncertainMessageNeverGoesBackToSendingOrSentByItself) {
  EXPECT_FALSE(IsAllowedTransition(TMessageState::Uncertain, TMessageState::Sending));
  EXPECT_FALSE(IsAllowedTransition(TMessageState::Uncertain, TMessageState::Sent));
  EXPECT_FALSE(IsAllowedTransition(TMessageState::Sent, TMessageState::Queued));
  EXPECT_FALSE(IsAllowedTransition(TMessageState::Failed, TMessageState::Queued));
  EXPECT_FALSE(IsAllowedTransition(TMessageState::Skipped, TMessageState::Queued));
}

TEST(MessageStates, NamesRoundTripAndUnknownNamesAreRejected) {
  for (const TMessageState state : kAllMessageStates) {
    EXPECT_EQ(MessageStateNamed(StateName(state)), state);
  }
  EXPECT_EQ(StateName(TMessageState::Uncertain), "uncertain");
  EXPECT_EQ(StateName(TPartState::Submitting), "submitting");
  EXPECT_EQ(StateName(TCampaignState::Stopped), "stopped");
  for (const TPartState state : {TPartState::Submitting, TPartState::Sent, TPartState::Failed, TPartState::Uncertain}) {
    EXPECT_EQ(PartStateNamed(StateName(state)), state);
  }
  for (const auto state : {TCampaignState::Running, TCampaignState::Finished, TCampaignState::Stopped}) {
    EXPECT_EQ(CampaignStateNamed(StateName(state)), state);
  }
  EXPECT_EQ(MessageStateNamed("Sent"), std::nullopt);
  EXPECT_EQ(MessageStateNamed(""), std::nullopt);
  EXPECT_EQ(PartStateNamed("queued"), std::nullopt);
}

}  // namespace
}  // namespace journal
