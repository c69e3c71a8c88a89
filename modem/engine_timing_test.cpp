// Scaled waits in tests: pauses shrink freely, waits for the modem keep a floor.

#include "modem/engine_timing.h"

#include <gtest/gtest.h>

namespace modem::timing {
namespace {

TEST(EngineTiming, TestScaleShortensPausesButKeepsAFloorUnderWaitsForTheModem) {
  const int floor = static_cast<int>(kTestModemWaitFloor * TestSlowdown());
  const ScopedTimingScale scale(0.01);
  const double factor = Scale();
  EXPECT_EQ(Scaled(kIdlePollWait), std::max(1, static_cast<int>(kIdlePollWait * factor + 0.5)));
  EXPECT_LT(Scaled(kIdlePollWait), kIdlePollWait);
  // An answer line, the prompt, the network's answer: never below the floor,
  // never above their own value.
  EXPECT_EQ(Scaled(2000), std::min(2000, floor));
  EXPECT_EQ(Scaled(kShortestModemWait), std::min(kShortestModemWait, floor));
  EXPECT_EQ(Scaled(kCollectFirstWait), std::max(static_cast<int>(kCollectFirstWait * factor + 0.5),
                                                std::min(kCollectFirstWait, floor)));
  EXPECT_EQ(Scaled(0), 0);
}

TEST(EngineTiming, RealValuesOutsideTests) {
  const ScopedTimingScale outer(0.01);
  {
    const ScopedTimingScale real(1.0);
    EXPECT_EQ(Scaled(kCollectFirstWait), kCollectFirstWait);
    EXPECT_EQ(Scaled(kIdleSleep), kIdleSleep);
  }
  // The previous scale comes back with its floor.
  EXPECT_LT(Scaled(kCollectFirstWait), kCollectFirstWait);
}

}  // namespace
}  // namespace modem::timing
