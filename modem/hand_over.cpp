#include "modem/hand_over.h"

#include <chrono>
#include <exception>

namespace modem {

void HandOver::Run(const std::function<void(TZoGSM&)>& fn) {
  std::lock_guard lock(callMutex_);
  if (severed_) throw EngineDetached();
  bool delivered = false;
  std::exception_ptr error;
  const bool ran = loop_.InvokeBlocking([&] {
    if (owner_ == nullptr) return;
    ++depth_;
    try {
      fn(*owner_);
    } catch (...) {
      error = std::current_exception();
    }
    --depth_;
    delivered = true;
  });
  if (!ran || !delivered) throw EngineDetached();
  if (error) std::rethrow_exception(error);
}

void HandOver::Post(std::function<void(TZoGSM&)> fn) {
  std::lock_guard lock(callMutex_);
  if (severed_ || loop_.IsShutDown()) return;
  loop_.Post([self = shared_from_this(), fn = std::move(fn)] {
    if (self->owner_ != nullptr) fn(*self->owner_);
  });
}

bool HandOver::Detached() {
  std::lock_guard lock(callMutex_);
  return severed_ || loop_.IsShutDown();
}

void HandOver::Sever() {
  owner_ = nullptr;
  severed_ = true;
  if (depth_ > 0) return;  // the engine waits for us; it sees the cut when we return
  // An engine between its check and its call must not reach the loop after
  // we return (the loop may be destroyed then): wait for the call to end.
  while (!callMutex_.try_lock()) loop_.ProcessEventsFor(1);
  callMutex_.unlock();
}

void HandOver::MarkFinished() {
  std::lock_guard lock(finishedMutex_);
  finished_ = true;
  finishedChanged_.notify_all();
}

bool HandOver::WaitFinished(int milliseconds) {
  std::unique_lock lock(finishedMutex_);
  return finishedChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return finished_; });
}

}  // namespace modem
