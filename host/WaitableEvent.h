#pragma once
// An event a thread sleeps on with a time-out, and what such a wait reports.

#include <cstdint>

enum class TWaitResult { wrSignaled, wrTimeout, wrFailed };

// A time-out that never expires.
inline constexpr uint32_t kWaitInfinite = 0xFFFFFFFF;

class TWaitableEvent {
 public:
  virtual ~TWaitableEvent() = default;

  virtual void SetEvent() = 0;
  // Sleeps until the event is set or `timeoutMs` milliseconds have passed.
  virtual TWaitResult WaitFor(uint32_t timeoutMs) = 0;
};
