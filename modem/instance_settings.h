#pragma once
// The settings the program gives its two modem component instances: the
// working instance that talks to the modem, and the one that only counts the
// parts of the text being composed. Properties not set here keep the
// component's initial values.
//
// Threads: main thread only (they set the component's properties).

namespace modem {

class TZoGSM;

void ApplyWorkingInstanceSettings(TZoGSM& gsm);
void ApplyPartCounterSettings(TZoGSM& gsm);

}  // namespace modem
