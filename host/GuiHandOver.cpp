#include "host/GuiHandOver.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

namespace {

QEvent::Type HandOverEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

}  // namespace

TGuiHandOver::TGuiHandOver(std::function<void()> call) : FCall(std::move(call)) {}

TGuiHandOver::TSendResult TGuiHandOver::Send() {
  std::unique_lock lock(FMutex);
  if (FCancelled) return TSendResult::srCancelled;
  FPending = true;
  // Posted under the lock: the owning thread takes the lock before it looks
  // at the event or the request, so it sees everything made here.
  QCoreApplication::postEvent(this, new QEvent(HandOverEventType()));
  FFinished.wait(lock, [this] { return !FPending || FCancelled; });
  if (FPending) {
    FPending = false;
    return TSendResult::srCancelled;
  }
  if (FError) {
    const std::exception_ptr error = std::exchange(FError, nullptr);
    lock.unlock();
    std::rethrow_exception(error);
  }
  return TSendResult::srDone;
}

void TGuiHandOver::Cancel() {
  {
    std::lock_guard lock(FMutex);
    FCancelled = true;
  }
  FFinished.notify_all();
}

void TGuiHandOver::customEvent(QEvent* event) {
  // Locked before the event is even looked at: the sender made it while
  // holding the lock.
  std::unique_lock lock(FMutex);
  if (event->type() != HandOverEventType()) {
    lock.unlock();
    QObject::customEvent(event);
    return;
  }
  if (!FPending || FCancelled) return;
  lock.unlock();

  // An error must not escape into the event loop: it belongs to the sender.
  std::exception_ptr error;
  try {
    FCall();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(FMutex);
    // Handed over whole: the sender ends up holding the only reference.
    FError = std::move(error);
    FPending = false;
  }
  FFinished.notify_all();
}
