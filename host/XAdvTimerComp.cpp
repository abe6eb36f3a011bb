#include "host/XAdvTimerComp.h"

#include <utility>

#include "host/AutoResetEvent.h"
#include "platform/MillisecondClock.h"

namespace {

// A tick later than this restarts the schedule instead of keeping it.
constexpr int32_t kMaxLateness = 20;

}  // namespace

// ---------------------------------------------------------------------------
// TAdvTimerThread

TAdvTimerThread::TAdvTimerThread(TAdvTimer& timer, std::unique_ptr<TWaitableEvent> event)
    : FTimer(timer), FEvent(std::move(event)), FHandOver([&timer] { timer.DoTimer(); }) {
  FThread = std::thread([this] { Execute(); });
}

TAdvTimerThread::~TAdvTimerThread() {
  FThread.join();
}

void TAdvTimerThread::Terminate() {
  FTerminated.store(true);
}

void TAdvTimerThread::WakeUp() {
  FEvent->SetEvent();
}

void TAdvTimerThread::CancelHandOver() {
  FHandOver.Cancel();
}

std::string TAdvTimerThread::FatalError() const {
  std::lock_guard lock(FErrorMutex);
  return FFatalError;
}

void TAdvTimerThread::Execute() {
  // Whatever ends the loop stays on this thread: no error may take the
  // program down from here.
  std::string error;
  try {
    Loop();
    return;
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "AdvTimer: unknown error";
  }
  std::lock_guard lock(FErrorMutex);
  FFatalError = error.empty() ? "AdvTimer: unknown error" : error;
}

void TAdvTimerThread::Loop() {
  while (!FTerminated.load()) {
    // The schedule as seen now; a Restart from the GUI thread may replace it
    // at any moment, and then that newer schedule must win.
    uint32_t due = FTimer.FNextTime.load();
    uint32_t wait = kWaitInfinite;
    if (FTimer.FIsEnabled.load() && FTimer.HasHandler()) {
      const uint32_t now = FTimer.FClock();
      const int32_t untilDue = platform::MillisecondsBetween(now, due);
      if (untilDue < -kMaxLateness) {
        // Too far behind: drop the missed ticks and count from now.
        uint32_t expected = due;
        if (FTimer.FNextTime.compare_exchange_strong(expected, now)) due = now;
      }
      wait = untilDue < 0 ? 0 : static_cast<uint32_t>(untilDue);
    }

    const TWaitResult result = wait == 0 ? TWaitResult::wrTimeout : FEvent->WaitFor(wait);
    if (result == TWaitResult::wrSignaled) continue;  // settings changed
    if (result != TWaitResult::wrTimeout) throw EAdvTimerError("AdvTimer: WaitResult = 0?");

    // A tick. Left alone if a Restart came in since `due` was read.
    uint32_t expected = due;
    FTimer.FNextTime.compare_exchange_strong(expected,
                                             due + static_cast<uint32_t>(FTimer.FPeriod.load()));
    if (!DeliverTick()) return;
  }
}

bool TAdvTimerThread::DeliverTick() {
  if (const TAdvTimer::THandler async = FTimer.FAsyncHandler.Load()) (*async)(&FTimer);
  if (!FTimer.FTimerHandler.Load()) return true;
  return FHandOver.Send() == TGuiHandOver::TSendResult::srDone;
}

// ---------------------------------------------------------------------------
// TAdvTimer

TAdvTimer::TAdvTimer(QObject* owner)
    : TAdvTimer(owner, platform::MillisecondClock, std::make_unique<TAutoResetEvent>()) {}

TAdvTimer::TAdvTimer(QObject* owner, TMillisecondClock clock, std::unique_ptr<TWaitableEvent> event)
    : QObject(owner), FClock(std::move(clock)) {
  FNextTime.store(FClock() + static_cast<uint32_t>(FPeriod.load()));
  FThread = std::make_unique<TAdvTimerThread>(*this, std::move(event));
}

TAdvTimer::~TAdvTimer() {
  FIsEnabled.store(false);
  FThread->Terminate();
  Restart();
  // The worker may be waiting for this thread to run OnTimer, which it will
  // not do any more: release it, then wait for it to end.
  FThread->CancelHandOver();
  FThread.reset();
}

void TAdvTimer::SetEnabled(bool value) {
  FIsEnabled.store(value);
  Restart();
}

void TAdvTimer::SetInterval(int32_t value) {
  FPeriod.store(value);
  Restart();
}

TAdvTimer::TNotifyEvent TAdvTimer::OnTimer() const {
  const THandler handler = FTimerHandler.Load();
  return handler ? *handler : TNotifyEvent();
}

void TAdvTimer::SetOnTimer(TNotifyEvent handler) {
  FTimerHandler.Store(Share(std::move(handler)));
  Restart();
}

TAdvTimer::TNotifyEvent TAdvTimer::OnAsync() const {
  const THandler handler = FAsyncHandler.Load();
  return handler ? *handler : TNotifyEvent();
}

void TAdvTimer::SetOnAsync(TNotifyEvent handler) {
  FAsyncHandler.Store(Share(std::move(handler)));
  Restart();
}

TAdvTimer::THandler TAdvTimer::Share(TNotifyEvent handler) {
  if (!handler) return nullptr;
  return std::make_shared<const TNotifyEvent>(std::move(handler));
}

void TAdvTimer::Restart() {
  FNextTime.store(FClock() + static_cast<uint32_t>(FPeriod.load()));
  FThread->WakeUp();
}

void TAdvTimer::DoTimer() {
  if (const THandler handler = FTimerHandler.Load()) (*handler)(this);
}

bool TAdvTimer::HasHandler() const {
  return FTimerHandler.Load() != nullptr || FAsyncHandler.Load() != nullptr;
}
