#pragma once
// Every wait of the modem engine, and the component's wait for the engine to
// end, with its value in milliseconds. Tests run the engine faster by scaling
// all of them down at once (ScopedTimingScale); the waits taken from the
// component's settings (ATTimeout, ATDelay) are scaled the same way where the
// engine uses them.
//
// Every wait of half a second or more is a wait for the modem (an answer
// line, the prompt, a packet, a write, the network's answer) or for a thread;
// the shorter ones are pauses. A scaled-down wait for the modem that runs out
// before a busy test machine has served the simulated modem would shift every
// later answer onto the wrong command, so tests keep those waits at or above
// a floor (ScopedTimingScale) and shorten only the pauses freely.
//
// Threads: the engine reads the scale and the floor from its thread (atomics);
// tests set them while no engine runs.

namespace modem::timing {

// The serial link's values for a new engine.
inline constexpr int kInitialAtTimeout = 1000;     // per answer line
inline constexpr int kInitialWriteTimeout = 30000;
// The two first "AT" exchanges of a connection attempt.
inline constexpr int kConnectWriteTimeout = 1000;
// Every other write.
inline constexpr int kWriteTimeout = 30000;
// Per answer line of a storage listing (+CMGL) or an operator query (+COPS).
inline constexpr int kLongCommandAtTimeout = 35000;

// Idle engine: wait for unsolicited bytes while connected, sleep otherwise.
inline constexpr int kIdlePollWait = 100;
inline constexpr int kIdleSleep = 20;
// One packet of unsolicited text.
inline constexpr int kReceivePacketTimeout = 5000;
// Pause before analysing text kept from a message submission.
inline constexpr int kPendingRxDelay = 20;

// Message submission: the prompt after "AT+CMGS=", and the collection of the answer.
inline constexpr int kPromptWait = 5000;
inline constexpr int kCollectFirstWait = 18500;
inline constexpr int kCollectNextWait = 4000;
// The network's answer to a submission, from the moment the PDU went out:
// modems allow it 60 to 120 s. A part is taken for not sent, and tried
// again, only when nothing confirmed it within this wait.
inline constexpr int kNetworkAnswerWait = 120000;
// ESC at the start of a connection attempt: what a modem that was left at its
// prompt says to it is read away until the line is this long quiet.
inline constexpr int kEscapeSettle = 200;

// Rings this close belong to one incoming call (modems repeat "+CLIP:"
// every few seconds while a call rings).
inline constexpr int kRingsOfOneCall = 10000;

// Deactivation: rounds of a pumping delay while the engine ends, then it is abandoned.
inline constexpr int kStopRounds = 3000;
inline constexpr int kStopRoundMs = 10;
// A new engine waits this long for an abandoned one to let go of the port.
inline constexpr int kAbandonedEngineWait = 1000;

// The shortest wait that counts as a wait for the modem (the lowest ATTimeout).
inline constexpr int kShortestModemWait = 500;
// Tests: the floor of the scaled waits for the modem, before TestSlowdown().
inline constexpr int kTestModemWaitFloor = 1000;

// `milliseconds` times the current scale, at least 1 for a positive value. A
// wait of kShortestModemWait or more is not scaled below the current floor
// (nor above its own value).
int Scaled(int milliseconds);

double Scale();
void SetScale(double scale);
int ModemWaitFloor();
void SetModemWaitFloor(int milliseconds);

// How much slower than usual the tests run: TALVANE_TEST_SLOWDOWN (default 1).
// Sanitizer builds run several times slower, so their test runs stretch the
// scaled-down waits by this factor (never beyond the real values).
double TestSlowdown();

// Sets the scale, stretched by TestSlowdown() up to 1, and the floor of the
// waits for the modem, kTestModemWaitFloor stretched the same way, for the
// lifetime of the object (tests).
class ScopedTimingScale {
 public:
  explicit ScopedTimingScale(double scale) : previous_(Scale()), previousFloor_(ModemWaitFloor()) {
    const double stretched = scale * TestSlowdown();
    SetScale(stretched < 1.0 ? stretched : (scale < 1.0 ? 1.0 : scale));
    SetModemWaitFloor(static_cast<int>(kTestModemWaitFloor * TestSlowdown()));
  }
  ~ScopedTimingScale() {
    SetScale(previous_);
    SetModemWaitFloor(previousFloor_);
  }
  ScopedTimingScale(const ScopedTimingScale&) = delete;
  ScopedTimingScale& operator=(const ScopedTimingScale&) = delete;

 private:
  double previous_;
  int previousFloor_;
};

}  // namespace modem::timing
