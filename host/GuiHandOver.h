#pragma once
// Runs a call on the thread that owns this object on behalf of another
// thread, which blocks until the call has returned (a sent, not a posted,
// message). The owning thread can cancel, so that it never has to wait for a
// sender that waits for it.

#include <QObject>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>

class TGuiHandOver : public QObject {
 public:
  enum class TSendResult { srDone, srCancelled };

  // `call` runs on the thread that constructs this object. It must not
  // destroy this object.
  explicit TGuiHandOver(std::function<void()> call);

  // From another thread: has the call run on the owning thread's event loop
  // and waits for it. An error the call raised is raised again here.
  TSendResult Send();

  // On the owning thread: a waiting Send returns srCancelled without the
  // call having run, and so does every later one.
  void Cancel();

 protected:
  void customEvent(QEvent* event) override;

 private:
  const std::function<void()> FCall;
  std::mutex FMutex;
  std::condition_variable FFinished;
  bool FPending = false;
  bool FCancelled = false;
  std::exception_ptr FError;
};
