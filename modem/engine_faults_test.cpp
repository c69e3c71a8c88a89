// Faults of the port and the modem, each against the simulated modem, and the
// end of the engine in every case.

#include <chrono>
#include <stdexcept>

#include "modem/engine_test_fixture.h"
#include "modem/engine_thread.h"
#include "platform/codepage.h"

namespace modem {
namespace {

using Texts = std::vector<std::string>;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

class FaultTest : public EngineTest {};

TEST_F(FaultTest, PortThatDoesNotExist) {
  gsm.SetComPort("/dev/talvane-no-such-port");
  gsm.SetActive(true);
  gsm.SetConnected(true);
  ASSERT_TRUE(WaitForEvent("OnDisconnected")) << Dump();
  EXPECT_EQ(Names(), (Texts{"OnGSMActivate", "OnConnecting", "OnQuietError", "OnDisconnected"}));
  EXPECT_EQ(events[static_cast<size_t>(Find("OnQuietError"))].text,
            "SerialConnect error [/dev/talvane-no-such-port] : No such file or directory");
  EXPECT_EQ(Find("OnAfterComRx"), -1);

  // The engine keeps running and takes the next request.
  EXPECT_TRUE(gsm.Active());
  gsm.SetComPort(sim.PortPath());
  gsm.SetConnected(true);
  EXPECT_TRUE(WaitForEvent("OnConnected")) << Dump();
}

TEST_F(FaultTest, SilentPort) {
  sim.SetFault("AT", {modemsim::FaultKind::Silence});
  gsm.SetActive(true);
  gsm.SetConnected(true);
  ASSERT_TRUE(WaitForEvent("OnQuietError", "Modem CONNECT ERROR")) << Dump();
  EXPECT_EQ(events[static_cast<size_t>(Find("OnQuietError"))].text,
            "Modem CONNECT ERROR [" + sim.PortPath() + "] (deadlockTimeout) : Timeout during operation");
  EXPECT_EQ(Names(), (Texts{"OnGSMActivate", "OnConnecting", "OnDisconnected", "OnQuietError"}));
  EXPECT_EQ(events[static_cast<size_t>(Find("OnAfterComRx"))].text, "Initializing Modem GSM\r\n");
  EXPECT_EQ(sim.Commands(), (Texts{"AT", "AT"}));
  EXPECT_FALSE(gsm.Connected());
}

TEST_F(FaultTest, ModemWithoutMessageFormatIsNeverConnected) {
  sim.SetFault("AT+CMGF=?", {modemsim::FaultKind::Error});
  gsm.SetActive(true);
  gsm.SetConnected(true);
  ASSERT_TRUE(WaitForEvent("OnDisconnected")) << Dump();
  EXPECT_GE(Find("OnAfterComRx", "myERR * AT+CMGF -----> NOT AVAILABLE!"), 0) << Dump();
  EXPECT_GE(Find("OnQuietError", "myERR; *** ERROR *** / not AT result  ----> [ AT+CMGF=?]"), 0) << Dump();
  EXPECT_EQ(Find("OnConnected"), -1);
  // Refused right after the probe: no initialisation follows.
  EXPECT_EQ(sim.Commands().back(), "AT+CMGF=?");
  EXPECT_FALSE(gsm.Connected());
  loop.ProcessEventsFor(300);
  EXPECT_EQ(Find("OnConnected"), -1);
}

TEST_F(FaultTest, PollAnsweredErrorClosesAndReconnects) {
  gsm.SetACTimerInterval(300);
  ASSERT_TRUE(Connect()) << Dump();
  gsm.SetSuppressAutoReconnect(false);
  ASSERT_TRUE(WaitForReport("AT+CSQ")) << Dump();
  sim.SetFault("AT+CBC", {modemsim::FaultKind::Error, 0, 0, 1});
  const int before = static_cast<int>(events.size());
  gsm.SetCheckPwrSig(false);
  gsm.SetCheckPwrSig(true);  // the next poll comes soon
  ASSERT_TRUE(WaitForEvent("OnDisconnected", "", before)) << Dump();
  const auto at = [&](const std::string& name, const std::string& part) { return Find(name, part, before); };
  const int sendError = at("OnQuietError", "SendSerialAT error [" + sim.PortPath() +
                                               "] : myERR; *** ERROR *** / not AT result  ----> [ AT+CBC]");
  const int resetError = at("OnQuietError", "Modem RESET with ERROR");
  const int offReport = at("OnAfterComRx", "Modem OFF with ERROR #ErrorStep = 211");
  const int disconnected = at("OnDisconnected", "");
  ASSERT_TRUE(WaitForEvent("OnAfterComRx", platform::Utf8ToAnsi(">< Błąd wykonania polecenia ><"), before));
  const int failedCommand = at("OnAfterComRx", platform::Utf8ToAnsi(">< Błąd wykonania polecenia ><"));
  EXPECT_GE(sendError, 0) << Dump();
  EXPECT_LT(sendError, resetError);
  EXPECT_LT(resetError, offReport);
  EXPECT_LT(offReport, disconnected);
  EXPECT_LT(disconnected, failedCommand);
  EXPECT_NE(events[static_cast<size_t>(failedCommand)].text.find("******* AT Command [error] ********\r\nAT+CBC\r\n"),
            std::string::npos);
  EXPECT_FALSE(gsm.Connected());
  EXPECT_TRUE(gsm.ReconnectTimer().Enabled());

  // The reconnect timer brings the modem back.
  const auto disconnectedAt = steady_clock::now();
  ASSERT_TRUE(WaitForEvent("OnConnected", "", disconnected)) << Dump();
  EXPECT_GE(steady_clock::now() - disconnectedAt, milliseconds(250));
  EXPECT_GE(Find("OnConnecting", "", disconnected), 0);
  EXPECT_TRUE(WaitFor([&] { return gsm.Connected(); }));
}

TEST_F(FaultTest, ModemVanishingMidSession) {
  gsm.SetACTimerInterval(200);
  ASSERT_TRUE(Connect()) << Dump();
  gsm.SetSuppressAutoReconnect(false);
  ASSERT_TRUE(WaitForReport("AT+CSQ")) << Dump();
  const int before = static_cast<int>(events.size());
  sim.SetFault("AT+CGMI", {modemsim::FaultKind::DropLine});
  gsm.SetATCommand("AT+CGMI");
  ASSERT_TRUE(WaitForEvent("OnDisconnected", "", before)) << Dump();
  EXPECT_FALSE(gsm.Connected());
  EXPECT_GE(Find("OnQuietError", "", before), 0) << Dump();
  // Reconnection attempts find no port and say so; nothing hangs.
  ASSERT_TRUE(WaitForEvent("OnQuietError", "SerialConnect error", before)) << Dump();

  const auto start = steady_clock::now();
  gsm.SetActive(false);
  EXPECT_LT(steady_clock::now() - start, milliseconds(2000));
  EXPECT_FALSE(gsm.Active());
  EXPECT_EQ(events.back().name, "OnGSMDeActivate");
}

TEST_F(FaultTest, ModemVanishingWhileIdle) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  const int before = static_cast<int>(events.size());
  sim.Stop();
  ASSERT_TRUE(WaitForEvent("OnQuietError", "SerialReceivePacket error: ", before)) << Dump();
  EXPECT_LT(Find("OnDisconnected", "", before), Find("OnQuietError", "SerialReceivePacket error: ", before));
  EXPECT_FALSE(gsm.Connected());
  EXPECT_TRUE(gsm.Active());
}

TEST_F(FaultTest, ExceptionInsideAPassEndsTheEngine) {
  gsm.SetCheckPwrSig(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  gsm.OnCheckSignalPower = [](TZoGSM&, int, bool, int, const std::string&) {
    throw std::runtime_error("gauge out of range");
  };
  const int before = static_cast<int>(events.size());
  gsm.SetATCommand("AT+CSQ");
  ASSERT_TRUE(WaitForEvent("OnGSMDeActivate", "", before)) << Dump();
  const int report = Find("OnQuietError", "GSMThread ERROR : ", before);
  ASSERT_GE(report, 0) << Dump();
  const std::string& text = events[static_cast<size_t>(report)].text;
  EXPECT_EQ(text.rfind("GSMThread ERROR : gauge out of range\r\n\r\nErrorStep = 209\r\n\r\n(FTComRxLines)[ \r\n", 0),
            0u)
      << text;
  EXPECT_NE(text.find("******* AT Command ********\r\nAT+CSQ\r\n> \r\n+CSQ: 17,99"), std::string::npos) << text;
  EXPECT_FALSE(gsm.Active());
  EXPECT_EQ(gsm.Engine(), nullptr);
  EXPECT_FALSE(gsm.Connected());
  // The connection was closed on the way out.
  EXPECT_LT(report, Find("OnDisconnected", "", before));
}

TEST_F(FaultTest, DeactivationEndsAConnectedEngineQuickly) {
  ASSERT_TRUE(Connect()) << Dump();
  const auto start = steady_clock::now();
  gsm.SetActive(false);
  EXPECT_LT(steady_clock::now() - start, milliseconds(1000));
  EXPECT_FALSE(gsm.Active());
  EXPECT_FALSE(gsm.Connected());
  EXPECT_EQ(gsm.Engine(), nullptr);
  EXPECT_EQ(sim.Commands().back(), "AT&F");  // the modem was reset on the way out
  const Texts names = Names();
  EXPECT_EQ(Texts(names.end() - 2, names.end()), (Texts{"OnDisconnected", "OnGSMDeActivate"}));
}

TEST_F(FaultTest, DeactivationFromInsideAHandlerDoesNotWait) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  steady_clock::duration stopTook{};
  gsm.OnCheckSignalPower = [&](TZoGSM& sender, int, bool, int, const std::string&) {
    const auto start = steady_clock::now();
    sender.SetActive(false);
    stopTook = steady_clock::now() - start;
  };
  gsm.SetATCommand("AT+CSQ");
  ASSERT_TRUE(WaitForEvent("OnGSMDeActivate")) << Dump();
  EXPECT_LT(stopTook, milliseconds(500));
  EXPECT_FALSE(gsm.Active());
  // A new engine starts cleanly while the old one is still on its way out.
  ASSERT_TRUE(Connect()) << Dump();
}

TEST_F(FaultTest, DestroyingAnActiveComponentEndsItsEngine) {
  int reports = 0;
  {
    TZoGSM other(loop);
    other.SetAppDir((folder.Path() / "").string());
    other.SetComPort(sim.PortPath());
    other.OnAfterComRx = [&](TZoGSM&, const std::vector<std::string>&) { ++reports; };
    other.SetActive(true);
    other.SetConnected(true);
    ASSERT_TRUE(WaitFor([&] { return other.Connected(); })) << Dump();
    // Owners should deactivate first; one that does not must not leave a
    // thread behind that reaches a destroyed component.
  }
  const int after = reports;
  loop.ProcessEventsFor(300);
  EXPECT_EQ(reports, after);
  // The port is free again.
  EXPECT_TRUE(Connect()) << Dump();
}

TEST_F(FaultTest, EndOfTheMainLoopEndsTheEngine) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  loop.Shutdown();  // the application is ending
  const auto start = steady_clock::now();
  gsm.SetActive(false);
  EXPECT_LT(steady_clock::now() - start, milliseconds(1000));
  EXPECT_FALSE(gsm.Active());
  EXPECT_EQ(gsm.Engine(), nullptr);
  EXPECT_EQ(events.back().name, "OnGSMDeActivate");
}

TEST_F(FaultTest, EngineThatDoesNotEndIsAbandonedAfterTheWait) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  // An operator query waits up to 35 s per answer line: longer than the stop wait.
  sim.SetFault("AT+COPS", {modemsim::FaultKind::Silence});
  {
    const timing::ScopedTimingScale realWaits(1.0);
    gsm.SetATCommand("AT+COPS=?");
    ASSERT_TRUE(WaitFor([&] { return sim.CountCommands("AT+COPS") == 1; })) << Dump();
  }
  const int stopWait = timing::Scaled(timing::kStopRounds * timing::kStopRoundMs);
  const auto start = steady_clock::now();
  gsm.SetActive(false);
  const auto took = steady_clock::now() - start;
  EXPECT_GE(took, milliseconds(stopWait));
  EXPECT_LT(took, milliseconds(3 * stopWait));
  EXPECT_FALSE(gsm.Active());
  EXPECT_FALSE(gsm.Connected());
  EXPECT_EQ(gsm.Engine(), nullptr);
  EXPECT_EQ(events.back().name, "OnGSMDeActivate");

  // The abandoned engine never reports again, not even when its read fails.
  const size_t count = events.size();
  sim.Stop();
  loop.ProcessEventsFor(300);
  EXPECT_EQ(events.size(), count) << Dump();
  // And a new engine can start at once.
  std::string error;
  ASSERT_TRUE(sim.Start(&error)) << error;
  gsm.SetComPort(sim.PortPath());
  EXPECT_TRUE(Connect()) << Dump();
}

}  // namespace
}  // namespace modem
