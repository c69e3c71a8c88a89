#include "app/window/modem_boxes.h"

#include <string>

#include "modem/zogsm.h"
#include "platform/dialogs.h"
#include "platform/program_dir.h"

namespace app {

void ShowModemMessagesInBoxes(modem::TZoGSM& gsm) {
  gsm.OnMisuse = [](modem::TZoGSM&, const std::string& text) {
    static const std::string caption = platform::ProgramFile().stem().string();
    platform::CurrentDialogs().ShowMessage(text, caption, platform::DialogIcon::None, platform::DialogButtons::Ok);
  };
  gsm.OnPduError = [](modem::TZoGSM&, const std::string& text) {
    platform::CurrentDialogs().ShowMessage(text, "Talvane", platform::DialogIcon::Error, platform::DialogButtons::Ok);
  };
}

}  // namespace app
