#include "FakeTimerClock.h"

#include "platform/MillisecondClock.h"

using platform::MillisecondsBetween;

class FakeEvent final : public TWaitableEvent {
 public:
  explicit FakeEvent(FakeTimerClock& clock) : clock_(clock) {}
  void SetEvent() override { clock_.SetEvent(); }
  TWaitResult WaitFor(uint32_t timeoutMs) override { return clock_.WaitFor(timeoutMs); }

 private:
  FakeTimerClock& clock_;
};

uint32_t FakeTimerClock::Now() {
  std::unique_lock lock(mutex_);
  if (pauseAt_ && std::this_thread::get_id() != testThread_ &&
      MillisecondsBetween(*pauseAt_, now_) >= 0) {
    pauseAt_.reset();
    paused_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !paused_; });
  }
  return now_;
}

uint32_t FakeTimerClock::Time() {
  std::lock_guard lock(mutex_);
  return now_;
}

void FakeTimerClock::Advance(uint32_t ms) {
  std::lock_guard lock(mutex_);
  now_ += ms;
}

std::unique_ptr<TWaitableEvent> FakeTimerClock::MakeEvent() {
  return std::make_unique<FakeEvent>(*this);
}

std::vector<uint32_t> FakeTimerClock::WaitsRequested() {
  std::lock_guard lock(mutex_);
  return waits_;
}

void FakeTimerClock::FailNextWait() {
  std::lock_guard lock(mutex_);
  failNext_ = true;
}

void FakeTimerClock::HoldAt(uint32_t time) {
  std::lock_guard lock(mutex_);
  holdAt_ = time;
}

void FakeTimerClock::PauseWorkerReadAt(uint32_t time) {
  std::lock_guard lock(mutex_);
  pauseAt_ = time;
}

void FakeTimerClock::Resume() {
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
  }
  changed_.notify_all();
}

template <class Predicate>
bool FakeTimerClock::Await(Predicate ready) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::seconds(20), ready);
}

bool FakeTimerClock::AwaitSleeping() {
  return Await([this] { return sleeping_ && !signaled_; });
}

bool FakeTimerClock::AwaitPaused() {
  return Await([this] { return paused_; });
}

void FakeTimerClock::SetEvent() {
  {
    std::lock_guard lock(mutex_);
    signaled_ = true;
  }
  changed_.notify_all();
}

TWaitResult FakeTimerClock::WaitFor(uint32_t timeoutMs) {
  std::unique_lock lock(mutex_);
  waits_.push_back(timeoutMs);
  if (failNext_) {
    failNext_ = false;
    return TWaitResult::wrFailed;
  }
  if (timeoutMs != kWaitInfinite && !signaled_) {
    const bool runsPastHold = holdAt_ && MillisecondsBetween(now_, *holdAt_) < int64_t{timeoutMs};
    if (!runsPastHold) {
      now_ += timeoutMs;
      return TWaitResult::wrTimeout;
    }
    now_ = *holdAt_;
    holdAt_.reset();
  }
  sleeping_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return signaled_; });
  sleeping_ = false;
  signaled_ = false;
  return TWaitResult::wrSignaled;
}
