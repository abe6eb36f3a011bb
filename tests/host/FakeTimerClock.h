#pragma once
// A millisecond clock that moves only when the timer's worker sleeps with a
// time-out or when a test says so, plus the event the worker sleeps on: a
// time-out passes at once by moving the clock, so schedules can be checked
// to the millisecond without waiting.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "host/WaitableEvent.h"

class FakeTimerClock {
 public:
  explicit FakeTimerClock(uint32_t start) : now_(start), testThread_(std::this_thread::get_id()) {}

  // The clock handed to the timer. A worker read can be made to pause.
  uint32_t Now();
  // The clock as the test and the handlers see it.
  uint32_t Time();
  void Advance(uint32_t ms);

  std::unique_ptr<TWaitableEvent> MakeEvent();
  std::vector<uint32_t> WaitsRequested();
  void FailNextWait();

  // A finite wait that would carry the clock past `time` stops the clock
  // there and sleeps until the event is set, as if nothing else happened.
  void HoldAt(uint32_t time);
  // The first worker read of the clock at or after `time` pauses until
  // Resume.
  void PauseWorkerReadAt(uint32_t time);
  void Resume();

  // Block (at most a generous bound) until the worker sleeps with nothing
  // pending, or until it pauses in a clock read. False on time-out.
  bool AwaitSleeping();
  bool AwaitPaused();

 private:
  friend class FakeEvent;
  void SetEvent();
  TWaitResult WaitFor(uint32_t timeoutMs);
  template <class Predicate>
  bool Await(Predicate ready);

  std::mutex mutex_;
  std::condition_variable changed_;
  uint32_t now_;
  const std::thread::id testThread_;
  bool signaled_ = false;
  bool sleeping_ = false;
  bool failNext_ = false;
  std::optional<uint32_t> holdAt_;
  std::optional<uint32_t> pauseAt_;
  bool paused_ = false;
  std::vector<uint32_t> waits_;
};
