#pragma once
// At most one running copy of the program: an exclusive lock on a file named
// after the guard, held while the guard lives. The kernel drops the lock when
// the process ends in any way, so a copy that crashed never blocks the next.

#include <string>

namespace platform {

// The folder of the lock files: $XDG_RUNTIME_DIR when it is an absolute path
// to a folder, else the temporary folder.
std::string SingleInstanceFolder();

class SingleInstanceGuard {
 public:
  enum class TState {
    Held,           // this copy is the only one
    OtherCopyRuns,  // another process holds the guard
    Unavailable,    // the lock file cannot be used: run without a guard
  };

  // Tries to take the guard named `name` at once, without waiting.
  explicit SingleInstanceGuard(const std::string& name);
  ~SingleInstanceGuard();  // releases the guard
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  TState State() const { return FState; }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
  int FFile = -1;
  TState FState = TState::Unavailable;
};

}  // namespace platform
