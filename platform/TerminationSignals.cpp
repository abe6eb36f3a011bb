#include "platform/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

// A signal handler may touch nothing but this.
int gPipe[2] = {-1, -1};
struct sigaction gPreviousTerm {};
struct sigaction gPreviousInt {};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(gPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, &gPreviousTerm);
  sigaction(SIGINT, &action, &gPreviousInt);
}

TerminationSignals::~TerminationSignals() {
  if (gPipe[0] < 0) return;
  if (!FIgnoring) {
    sigaction(SIGTERM, &gPreviousTerm, nullptr);
    sigaction(SIGINT, &gPreviousInt, nullptr);
  }
  close(gPipe[0]);
  close(gPipe[1]);
  gPipe[0] = gPipe[1] = -1;
}

int TerminationSignals::Fd() const {
  return gPipe[0];
}

bool TerminationSignals::Arrived() {
  bool arrived = false;
  char buffer[16];
  while (gPipe[0] >= 0 && read(gPipe[0], buffer, sizeof buffer) > 0) arrived = true;
  return arrived;
}

void TerminationSignals::IgnoreFromNowOn() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGTERM, &ignore, nullptr);
  sigaction(SIGINT, &ignore, nullptr);
  FIgnoring = true;
}

}  // namespace platform
