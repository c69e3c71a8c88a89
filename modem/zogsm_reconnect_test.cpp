// The reconnect timer of the component: how many automatic attempts follow a
// failed connection, without a modem (the port does not exist, so every
// attempt fails at once).

#include <gtest/gtest.h>

#include <algorithm>

#include "modem/engine_timing.h"
#include "modem/zogsm.h"
#include "platform/headless_main_loop.h"
#include "platform/recording_dialogs.h"
#include "platform/test_folder.h"

namespace modem {
namespace {

struct ReconnectCase {
  const char* name;
  bool autoConnect;
  int autoConnectCnt;
  bool suppress;
  bool hardStop;
  int attempts;  // connection attempts in all, the caller's first one included
};

// The component on a port that does not exist, with a short reconnect tick;
// counts its connection attempts.
struct UnreachableModem {
  platform::TestFolder folder;
  platform::HeadlessMainLoop loop;
  TZoGSM gsm{loop};
  int attempts = 0;

  UnreachableModem() {
    gsm.SetAppDir((folder.Path() / "").string());
    gsm.SetComPort("/dev/talvane-no-such-port");
    gsm.SetACTimerInterval(30);
    gsm.OnConnecting = [this](TZoGSM&) { ++attempts; };
  }
};

TEST(ReconnectTimer, AttemptsAfterAFailedConnection) {
  const ReconnectCase cases[] = {
      {"limit 3: two automatic attempts", true, 3, false, false, 3},
      {"limit 1: none", true, 1, false, false, 1},
      {"negative limit: none", true, -1, false, false, 1},
      {"no automatic connection", false, 0, false, false, 1},
      {"suppressed", true, 0, true, false, 1},
      {"hard stop", true, 0, false, true, 1},
  };
  const timing::ScopedTimingScale fast(0.1);
  platform::RecordingDialogs dialogs;
  platform::InstallDialogs(&dialogs);
  for (const ReconnectCase& c : cases) {
    UnreachableModem modem;
    TZoGSM& gsm = modem.gsm;
    gsm.SetAutoConnect(c.autoConnect);
    gsm.SetAutoConnectCNT(c.autoConnectCnt);
    gsm.SetHardModemStop(c.hardStop);
    gsm.SetActive(true);
    gsm.SetSuppressAutoReconnect(c.suppress);
    gsm.SetConnected(true);
    modem.loop.ProcessEventsFor(600);
    EXPECT_EQ(modem.attempts, c.attempts) << c.name;
    EXPECT_FALSE(gsm.ReconnectTimer().Enabled()) << c.name;
    gsm.SetActive(false);
  }
  platform::InstallDialogs(nullptr);
}

TEST(ReconnectTimer, WithoutLimitEveryDisconnectionIsRetried) {
  const timing::ScopedTimingScale fast(0.1);
  UnreachableModem modem;
  TZoGSM& gsm = modem.gsm;
  platform::HeadlessMainLoop& loop = modem.loop;
  const int& attempts = modem.attempts;
  gsm.SetActive(true);
  gsm.SetSuppressAutoReconnect(false);
  gsm.SetConnected(true);
  EXPECT_TRUE(loop.RunUntil([&] { return attempts >= 5; }, std::chrono::seconds(5)));
  // The caller's disconnection ends the retries.
  gsm.SetConnected(false);
  EXPECT_TRUE(gsm.UserDisconnect());
  loop.ProcessEventsFor(100);
  const int settled = attempts;
  loop.ProcessEventsFor(300);
  EXPECT_EQ(attempts, settled);
  gsm.SetActive(false);
}

}  // namespace
}  // namespace modem
