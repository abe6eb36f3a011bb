#pragma once
// A timer whose ticks come from a worker thread of its own instead of the
// window system's timer. Ticks keep a fixed schedule on the millisecond clock
// whatever the handlers cost; a tick more than 20 ms late restarts the
// schedule from that moment instead of delivering the backlog. Each tick runs
// OnAsync on the worker, then OnTimer on the GUI thread while the worker
// waits for it, so at most one tick is ever outstanding. The timer is made,
// changed and destroyed on the GUI thread, never from inside its handlers.

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "host/GuiHandOver.h"
#include "host/WaitableEvent.h"

class TAdvTimer;

// Raised on the worker when its wait ends in a way it does not know.
class EAdvTimerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a wrapping 32-bit millisecond count.
using TMillisecondClock = std::function<uint32_t()>;

// The worker of one timer. It sleeps on its event until the next tick is
// due or a property changes; it ends on request or on an error.
class TAdvTimerThread {
 public:
  // Starts the thread once everything it reads exists.
  TAdvTimerThread(TAdvTimer& timer, std::unique_ptr<TWaitableEvent> event);
  // Waits for the thread to end; call Terminate and WakeUp first.
  ~TAdvTimerThread();
  TAdvTimerThread(const TAdvTimerThread&) = delete;
  TAdvTimerThread& operator=(const TAdvTimerThread&) = delete;

  void Terminate();  // the loop ends at its next turn
  void WakeUp();
  void CancelHandOver();  // a tick waiting for the GUI thread is dropped
  std::string FatalError() const;

 private:
  void Execute();
  void Loop();
  // Returns false when the hand-over was cancelled.
  bool DeliverTick();

  TAdvTimer& FTimer;
  std::unique_ptr<TWaitableEvent> FEvent;
  TGuiHandOver FHandOver;
  std::atomic<bool> FTerminated{false};
  mutable std::mutex FErrorMutex;
  std::string FFatalError;
  std::thread FThread;  // last: starts after the members above exist
};

// A handler the GUI thread replaces while the worker reads it: every access
// takes or puts the whole handler, never part of one.
template <class THandler>
class TSharedHandlerSlot {
 public:
  std::shared_ptr<const THandler> Load() const {
    std::lock_guard lock(FMutex);
    return FHandler;
  }
  void Store(std::shared_ptr<const THandler> handler) {
    {
      std::lock_guard lock(FMutex);
      FHandler.swap(handler);
    }
    // The old handler is released here, outside the lock.
  }

 private:
  mutable std::mutex FMutex;
  std::shared_ptr<const THandler> FHandler;
};

class TAdvTimer : public QObject {
  Q_OBJECT

 public:
  using TNotifyEvent = std::function<void(QObject* Sender)>;

  // Runs on the program's monotonic millisecond clock.
  explicit TAdvTimer(QObject* owner = nullptr);
  // Runs on `clock`, its worker sleeping on `event`.
  TAdvTimer(QObject* owner, TMillisecondClock clock, std::unique_ptr<TWaitableEvent> event);
  // Stops the worker; a tick still waiting for the GUI thread is dropped.
  ~TAdvTimer() override;

  // Every setter starts a fresh period counted from the moment of the change.
  bool Enabled() const { return FIsEnabled.load(); }
  void SetEnabled(bool value);
  int32_t Interval() const { return FPeriod.load(); }  // milliseconds
  void SetInterval(int32_t value);
  TNotifyEvent OnTimer() const;  // runs on the GUI thread
  void SetOnTimer(TNotifyEvent handler);
  TNotifyEvent OnAsync() const;  // runs on the worker thread
  void SetOnAsync(TNotifyEvent handler);

  // The message of the error that ended the worker (an unexpected wait
  // result or an error raised by a handler); empty while the worker runs.
  // No tick follows such an error.
  std::string WorkerError() const { return FThread->FatalError(); }

 private:
  friend class TAdvTimerThread;
  using THandler = std::shared_ptr<const TNotifyEvent>;

  static THandler Share(TNotifyEvent handler);
  void Restart();
  void DoTimer();
  bool HasHandler() const;

  const TMillisecondClock FClock;
  // Shared with the worker; handlers are swapped whole, never half written.
  std::atomic<bool> FIsEnabled{true};
  std::atomic<int32_t> FPeriod{40};
  TSharedHandlerSlot<TNotifyEvent> FTimerHandler;
  TSharedHandlerSlot<TNotifyEvent> FAsyncHandler;
  std::atomic<uint32_t> FNextTime;
  std::unique_ptr<TAdvTimerThread> FThread;
};
