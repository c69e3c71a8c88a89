// The reconnect and poll timers of the component.

#include "modem/engine_thread.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"

namespace modem {

void TZoGSM::ReconnectTick() {
  platform::Timer& timer = *reconnectTimer_;
  if (!settings_.AutoConnect) return;
  if (settings_.HardModemStop || suppressAutoReconnect_) {
    timer.Stop();
    return;
  }
  // The tag counts the attempts since the caller's last connection request.
  timer.Tag = settings_.AutoConnectCNT > 0 ? timer.Tag + 1 : 0;
  if (settings_.AutoConnectCNT != 0 && timer.Tag >= settings_.AutoConnectCNT) {
    timer.Stop();
    timer.Tag = 0;
    return;
  }
  if (engine_) {
    engine_->SetConnectCommand(TZoGSMThread::kConnect);
  } else {
    settings_.AutoConnect = false;
  }
  timer.Stop();
}

void TZoGSM::PollTick() {
  pollTimer_->SetInterval(settings_.CheckInterval * 1000);
  if (!connected_ || !active_ || !settings_.CheckPwrSig || !engine_) return;
  if (!engine_->SendQueue.Empty()) return;  // polling never competes with sending
  const CapabilityTable table = capabilities_->Get();
  SharedList& queue = engine_->CommandQueue;
  if (settings_.CanCheckPower && !Contains(queue.Text(), table.ATCBC.Command)) queue.Append(table.ATCBC.Command);
  if (!Contains(queue.Text(), table.ATCSQ.Command)) {
    if (settings_.CanCheckSignal) {
      queue.Append(table.ATCSQ.Command);
    } else if (queue.Empty()) {
      queue.Append("AT");  // keeps the link exercised
    }
  }
}

}  // namespace modem
