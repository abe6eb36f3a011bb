#pragma once
// The exit status of a process that another program started (a screen-saver
// host's saver), which only its parent could otherwise wait for: the process
// is traced without being stopped, so the kernel tells us how it ended
// before it tells the parent. Tracing needs the right to do so (root, or the
// same user where the system allows tracing processes one did not start).

#include <sys/ptrace.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <csignal>
#include <optional>
#include <thread>

class ExitWatch {
 public:
  explicit ExitWatch(pid_t pid) : pid_(pid) {
    // The tracing thread is the one that waits for the process.
    thread_ = std::thread([this] { Trace(); });
    while (state_ == kStarting) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // A process that is still running then is killed: it must not outlive the test.
  ~ExitWatch() {
    if (Traced() && !Ended()) kill(pid_, SIGKILL);
    quit_ = true;
    thread_.join();
  }
  ExitWatch(const ExitWatch&) = delete;
  ExitWatch& operator=(const ExitWatch&) = delete;

  // False when the system refused the tracing.
  bool Traced() const { return state_ != kRefused; }
  bool Ended() const { return state_ == kEnded; }
  // The exit code once the process has ended within `limit`; -signal when killed.
  std::optional<int> Wait(std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (state_ == kWatching && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (state_ != kEnded) return std::nullopt;
    return status_.load();
  }
  std::chrono::steady_clock::time_point EndedAt() const { return ended_.load(); }

 private:
  enum State { kStarting, kRefused, kWatching, kEnded };

  void Trace() {
    if (ptrace(PTRACE_SEIZE, pid_, nullptr, nullptr) != 0) {
      state_ = kRefused;
      return;
    }
    state_ = kWatching;
    while (true) {
      int status = 0;
      const pid_t got = waitpid(pid_, &status, __WALL | WNOHANG);
      if (got == 0) {
        if (quit_) kill(pid_, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      if (got < 0) {  // gone without a word to us
        status_ = -SIGKILL;
        ended_ = std::chrono::steady_clock::now();
        state_ = kEnded;
        return;
      }
      if (WIFEXITED(status) || WIFSIGNALED(status)) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        ended_ = std::chrono::steady_clock::now();
        state_ = kEnded;
        return;
      }
      if (WIFSTOPPED(status)) {
        if ((status >> 16) == PTRACE_EVENT_STOP) {
          // A stop signal: stay stopped as the process would untraced.
          ptrace(PTRACE_LISTEN, pid_, nullptr, nullptr);
        } else {
          // A signal on its way in: deliver it unchanged.
          ptrace(PTRACE_CONT, pid_, nullptr,
                 reinterpret_cast<void*>(static_cast<intptr_t>(WSTOPSIG(status))));
        }
      }
    }
  }

  const pid_t pid_;
  std::thread thread_;
  std::atomic<State> state_{kStarting};
  std::atomic<bool> quit_{false};
  std::atomic<int> status_{0};
  std::atomic<std::chrono::steady_clock::time_point> ended_{};
};
