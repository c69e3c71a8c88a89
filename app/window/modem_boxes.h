#pragma once
// What a modem component has to tell the user, shown the way this program
// shows it: a misuse of the component in a plain box captioned with the
// program's name, a received PDU that cannot be read in the "PDU ERROR"
// error box. The boxes go through the platform's dialogs service, so the
// window shows them and the console programs print them on stderr.

namespace modem {
class TZoGSM;
}

namespace app {

// Binds OnMisuse and OnPduError of `gsm` to the boxes.
void ShowModemMessagesInBoxes(modem::TZoGSM& gsm);

}  // namespace app
