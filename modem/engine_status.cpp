// Power and signal answers become OnCheckSignalPower events; status reports
// ("+CDS:" and the PDU line after it) become OnNewSMS (engine_delivery.cpp).

#include "modem/engine_thread.h"
#include "modem/status_lines.h"
#include "modem/zogsm.h"

namespace modem {

void TZoGSMThread::AnalyseStatusLines(const std::string& text) {
  for (const StatusItem& item : ScanStatusLines(text)) {
    switch (item.kind) {
      case StatusItem::Kind::Power: {
        const PowerReading reading = ReadPowerLine(item.line);
        OnOwner([&](TZoGSM& component) {
          component.acPower_ = reading.acPower;
          component.batteryStatus_ = reading.batteryStatus;
          component.stringSignal_ = "BAT";
          component.signal_ = -1;
          if (component.CanCheckPower()) component.DoCheckSignalPower();
        });
        break;
      }
      case StatusItem::Kind::Signal: {
        const int percent = SignalPercent(item.line);
        OnOwner([&](TZoGSM& component) {
          component.signal_ = percent;
          component.stringSignal_ = "ANT";
          component.acPower_ = false;
          component.batteryStatus_ = -1;
          if (component.CanCheckSignal()) component.DoCheckSignalPower();
        });
        break;
      }
      case StatusItem::Kind::StatusReport:
        DeliverStatusReport(item.line, "+CDS:");
        break;
    }
  }
}

}  // namespace modem
