#pragma once
// The campaign's settings in the settings store, beside the window's own:
// how long a campaign waits without a modem before it stops itself. The
// window and talvane-cli read it at every start.
//
// Threads: any (the settings store serialises its reads).

#include <chrono>

namespace app {

// Its name under the settings key: a whole number of seconds.
inline constexpr const char* kNoModemLimitSetting = "NoModemTimeout";

// The stored limit; the campaign's default when missing, not a number or
// not above zero.
std::chrono::seconds NoModemLimitSetting();

}  // namespace app
