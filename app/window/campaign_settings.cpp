#include "app/window/campaign_settings.h"

#include "app/core/campaign.h"
#include "app/window/frm_main.h"
#include "app/window/zo_tools.h"

namespace app {

std::chrono::seconds NoModemLimitSetting() {
  const int seconds = RegReadInt(kNoModemLimitSetting, static_cast<int>(kDefaultNoModemLimit.count()), kSettingsKey);
  return seconds > 0 ? std::chrono::seconds(seconds) : kDefaultNoModemLimit;
}

}  // namespace app
