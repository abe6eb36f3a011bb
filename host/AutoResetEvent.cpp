#include "host/AutoResetEvent.h"

#include <chrono>

void TAutoResetEvent::SetEvent() {
  {
    std::lock_guard lock(FMutex);
    FSignaled = true;
  }
  FWake.notify_one();
}

TWaitResult TAutoResetEvent::WaitFor(uint32_t timeoutMs) {
  std::unique_lock lock(FMutex);
  const auto isSet = [this] { return FSignaled; };
  if (timeoutMs == kWaitInfinite) {
    FWake.wait(lock, isSet);
  } else if (!FWake.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet)) {
    return TWaitResult::wrTimeout;
  }
  FSignaled = false;
  return TWaitResult::wrSignaled;
}
