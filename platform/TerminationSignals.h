#pragma once
// SIGTERM and SIGINT turned into something the event loop can wait for: the
// handler only writes a byte to a pipe, whose reading end the loop watches.
// The hosts stop a saver with SIGTERM; ending through the loop lets it clean
// up instead of dying mid-frame.

namespace platform {

class TerminationSignals {
 public:
  // Installs the handlers; the previous ones come back on destruction
  // unless IgnoreFromNowOn was called.
  TerminationSignals();
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Becomes readable once one of the signals has arrived.
  int Fd() const;
  // True once one of the signals has arrived; empties the pipe.
  bool Arrived();
  // An end is under way: from now on the signals are ignored until the
  // process ends (the previous handlers do not come back), so that a
  // repeated request cannot cut that end short.
  void IgnoreFromNowOn();

 private:
  bool FIgnoring = false;
};

}  // namespace platform
