#pragma once
// An event that lets exactly one wait through per SetEvent and then resets
// itself; setting it while it is already set changes nothing.

#include <condition_variable>
#include <mutex>

#include "host/WaitableEvent.h"

class TAutoResetEvent final : public TWaitableEvent {
 public:
  void SetEvent() override;
  TWaitResult WaitFor(uint32_t timeoutMs) override;

 private:
  std::mutex FMutex;
  std::condition_variable FWake;
  bool FSignaled = false;
};
