#pragma once
// The settings the program gives the modem component instances that talk to
// a modem. Properties not set here keep the component's initial values.
//
// Threads: main thread only (they set the component's properties).

namespace modem {

class TZoGSM;

void ApplyWorkingInstanceSettings(TZoGSM& gsm);

}  // namespace modem
