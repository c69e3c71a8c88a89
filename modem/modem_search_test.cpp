// The modem search of TZoGSM over real pseudo-terminals: the simulated
// modem, a silent port, a port answering noise and a device that is missing.

#include "modem/modem_search.h"

#include <gtest/gtest.h>

#include "modem/engine_test_fixture.h"
#include "platform/serial_port.h"
#include "tools/modemsim/not_a_modem.h"

namespace modem {
namespace {

using platform::Utf8ToAnsi;
using Texts = std::vector<std::string>;

constexpr const char* kMissing = "/dev/talvane-no-such-port";

class ModemSearchTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    std::string error;
    ASSERT_TRUE(silent.Start(&error)) << error;
    ASSERT_TRUE(noise.Start(&error)) << error;
    gsm.OnSearchProgress = [this](TZoGSM&, int progress, const std::string& port, int found) {
      events.push_back({"OnSearchProgress", std::to_string(progress) + " " + port + " " + std::to_string(found)});
    };
    // Each attempt is noted with the port it was made on.
    gsm.OnConnecting = [this](TZoGSM& sender) { events.push_back({"OnConnecting", sender.ComPort()}); };
    // As after an earlier successful connection: automatic reconnection
    // would be allowed, and quickly, if anything armed it.
    gsm.SetSuppressAutoReconnect(false);
    gsm.SetACTimerInterval(100);
  }

  std::string Progress(int progress, const std::string& port, int found) const {
    return std::to_string(progress) + " " + port + " " + std::to_string(found);
  }

  Texts Reports() const {
    Texts texts;
    for (const RecordedEvent& e : events) {
      if (e.name == "OnSearchProgress") texts.push_back(e.text);
    }
    return texts;
  }

  int Attempts(const std::string& port) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const RecordedEvent& e) {
      return e.name == "OnConnecting" && e.text == port;
    }));
  }

  bool WaitForFinalReport() {
    return WaitFor([&] {
      const Texts reports = Reports();
      return !reports.empty() && reports.back().substr(reports.back().size() - 2) != "-1";
    });
  }

  modemsim::NotAModem silent{modemsim::NotAModem::Kind::Silent};
  modemsim::NotAModem noise{modemsim::NotAModem::Kind::Garbage};
};

TEST_F(ModemSearchTest, FindsTheModemOnTheThirdOfFourPorts) {
  const std::string modemPort = sim.PortPath();
  gsm.Search().SetPortList({silent.PortPath(), noise.PortPath(), modemPort, kMissing});
  gsm.SetActive(true);
  gsm.SearchModem();
  EXPECT_TRUE(gsm.Searching());
  ASSERT_TRUE(WaitForEvent("OnConnected")) << Dump();

  EXPECT_EQ(Reports(), (Texts{Progress(25, silent.PortPath(), -1), Progress(50, noise.PortPath(), -1),
                              Progress(75, modemPort, -1), Progress(0, modemPort, 1)}))
      << Dump();
  // The report of the find comes just before OnConnected.
  const int found = Find("OnSearchProgress", Progress(0, modemPort, 1));
  EXPECT_EQ(Find("OnConnected"), found + 1) << Dump();
  EXPECT_FALSE(gsm.Searching());
  EXPECT_FALSE(gsm.SearchTimer().Enabled());
  EXPECT_TRUE(gsm.Connected());
  EXPECT_EQ(gsm.ComPort(), modemPort);

  // A port without a modem cost one attempt: no reconnection, no repeat.
  EXPECT_EQ(Attempts(silent.PortPath()), 1) << Dump();
  EXPECT_EQ(Attempts(noise.PortPath()), 1) << Dump();
  EXPECT_EQ(Attempts(modemPort), 1) << Dump();
  EXPECT_EQ(Attempts(kMissing), 0) << Dump();
  EXPECT_GT(silent.LinesReceived(), 0);
  EXPECT_GT(noise.LinesReceived(), 0);

  // Connected, the modem's signal and power reach the application again.
  EXPECT_TRUE(WaitForEvent("OnCheckSignalPower", "ANT", found)) << Dump();
  EXPECT_TRUE(misuses.empty());
}

// A modem another program holds open (another Talvane, here a second
// opener in this process: the port's lock belongs to the open file) is no
// modem found: the search says why it could not open it, sends it nothing
// and goes on to the next one.
TEST_F(ModemSearchTest, AModemHeldByAnotherProgramIsNotFound) {
  const std::string heldPort = sim.PortPath();
  platform::SerialPort holder;
  ASSERT_TRUE(holder.Open(heldPort)) << holder.LastErrorText();
  modemsim::ModemSimulator freeModem;
  std::string error;
  ASSERT_TRUE(freeModem.Start(&error)) << error;
  gsm.Search().SetPortList({heldPort, freeModem.PortPath()});
  gsm.SetActive(true);
  gsm.SearchModem();
  ASSERT_TRUE(WaitForEvent("OnConnected")) << Dump();

  EXPECT_EQ(Reports(), (Texts{Progress(50, heldPort, -1), Progress(100, freeModem.PortPath(), -1),
                              Progress(0, freeModem.PortPath(), 1)}))
      << Dump();
  EXPECT_GE(Find("OnQuietError", "SerialConnect error [" + heldPort + "] : Port owned by other process"), 0) << Dump();
  EXPECT_TRUE(sim.Commands().empty());
  EXPECT_EQ(gsm.ComPort(), freeModem.PortPath());
  EXPECT_TRUE(holder.IsOpen());
}

TEST_F(ModemSearchTest, NoModemAnywhereEndsWithOneClosingReport) {
  gsm.Search().SetPortList({silent.PortPath(), noise.PortPath(), kMissing});
  gsm.SetActive(true);
  gsm.SearchModem();
  ASSERT_TRUE(WaitForFinalReport()) << Dump();
  EXPECT_EQ(Reports(), (Texts{Progress(33, silent.PortPath(), -1), Progress(66, noise.PortPath(), -1),
                              Progress(100, kMissing, -1), Progress(0, kNoModemPort, 0)}))
      << Dump();
  EXPECT_FALSE(gsm.Searching());
  EXPECT_EQ(Find("OnConnected"), -1);

  // The search does not start over, nothing reconnects, the engine stays on
  // and the component's port is the last one tried.
  const size_t seen = events.size();
  loop.ProcessEventsFor(1500);
  EXPECT_EQ(Reports().size(), 4u) << Dump();
  EXPECT_EQ(Find("OnConnecting", "", static_cast<int>(seen)), -1) << Dump();
  EXPECT_FALSE(gsm.SearchTimer().Enabled());
  EXPECT_FALSE(gsm.ReconnectTimer().Enabled());
  EXPECT_TRUE(gsm.Active());
  EXPECT_EQ(gsm.ComPort(), kMissing);
  EXPECT_EQ(Attempts(silent.PortPath()), 1) << Dump();
  EXPECT_EQ(Attempts(noise.PortPath()), 1) << Dump();
  EXPECT_TRUE(misuses.empty());
}

TEST_F(ModemSearchTest, RefusedWhenInactiveOrConnectedAndNothingChanges) {
  const std::string modemPort = sim.PortPath();
  gsm.Search().SetPortList({silent.PortPath(), modemPort});

  gsm.SearchModem();
  EXPECT_EQ(misuses, Texts{Utf8ToAnsi("Brak aktywnej usługi GSM!")});
  EXPECT_FALSE(gsm.Active());
  misuses.clear();

  ASSERT_TRUE(Connect()) << Dump();
  const size_t seen = events.size();
  gsm.SearchModem();
  EXPECT_EQ(misuses, Texts{Utf8ToAnsi("SEARCH MODEM - Połączenie z modemem jest już AKTYWNE!")});
  loop.ProcessEventsFor(800);
  EXPECT_FALSE(gsm.Searching());
  EXPECT_FALSE(gsm.SearchTimer().Enabled());
  EXPECT_TRUE(gsm.Connected());
  EXPECT_EQ(gsm.ComPort(), modemPort);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(Find("OnConnecting", "", static_cast<int>(seen)), -1) << Dump();
  EXPECT_EQ(gsm.PortList(), (Texts{silent.PortPath(), modemPort}));
}

TEST_F(ModemSearchTest, AnEmptyPortListStartsNothingAndSaysNothing) {
  gsm.Search().SetPortList({});
  gsm.SetActive(true);
  gsm.SearchModem();
  EXPECT_FALSE(gsm.Searching());
  EXPECT_FALSE(gsm.SearchTimer().Enabled());
  EXPECT_TRUE(misuses.empty());
}

TEST_F(ModemSearchTest, SwitchingTheComponentOffEndsTheSearch) {
  gsm.Search().SetPortList({silent.PortPath(), sim.PortPath()});
  gsm.SetActive(true);
  gsm.SearchModem();
  ASSERT_TRUE(WaitForEvent("OnConnecting", silent.PortPath())) << Dump();
  gsm.SetActive(false);
  EXPECT_FALSE(gsm.Searching());
  EXPECT_FALSE(gsm.SearchTimer().Enabled());
  loop.ProcessEventsFor(1000);
  EXPECT_EQ(Reports().size(), 1u) << Dump();
  EXPECT_TRUE(misuses.empty());  // no step asked an inactive component to connect

  // A later plain connection is no search result, and its signal shows.
  const size_t seen = events.size();
  gsm.SetComPort(sim.PortPath());
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  EXPECT_EQ(Reports().size(), 1u) << Dump();
  EXPECT_GE(Find("OnCheckSignalPower", "ANT", static_cast<int>(seen)), 0) << Dump();
}

TEST(ModemSearchPorts, RefreshListsThePortsInNaturalOrder) {
  struct Case {
    Texts given;
    Texts listed;
  } cases[] = {
      {{"COM10", "COM1", "COM3", "COM2"}, {"COM1", "COM2", "COM3", "COM10"}},
      {{"/dev/ttyUSB10", "/dev/ttyUSB2"}, {"/dev/ttyUSB2", "/dev/ttyUSB10"}},
      {{"/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS10", "/dev/ttyS9", "/dev/ttyUSB0"},
       {"/dev/ttyACM0", "/dev/ttyS9", "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyUSB1"}},
      {{}, {}},
  };
  platform::HeadlessMainLoop loop;
  TZoGSM gsm(loop);
  for (const Case& c : cases) {
    gsm.Search().SetPortSource([&c] { return c.given; });
    gsm.RefreshComPorts();
    EXPECT_EQ(gsm.PortList(), c.listed);
  }
}

TEST(ModemSearchPorts, AListThatCannotBeReadIsReportedAndLeavesNoPorts) {
  platform::HeadlessMainLoop loop;
  TZoGSM gsm(loop);
  gsm.Search().SetPortList({"/dev/ttyUSB0"});
  int errors = 0;
  gsm.OnQuietError = [&](TZoGSM&) { ++errors; };
  gsm.Search().SetPortSource([] { return std::nullopt; });
  gsm.RefreshComPorts();
  EXPECT_TRUE(gsm.PortList().empty());
  EXPECT_EQ(gsm.ErrorText(), "Problem with COM ports reg enumeration");
  EXPECT_EQ(errors, 1);
}

}  // namespace
}  // namespace modem
