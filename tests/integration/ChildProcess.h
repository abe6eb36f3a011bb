#pragma once
// Starts the real program as a child process and waits for it with a bound.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// The session bus address of programs that are to run without a session bus:
// an address of no known kind, so that no bus is found and none is started
// (with dbus-x11 installed, a program on a display without a bus would start
// one that outlives it). Tests that need a bus run one of their own.
inline constexpr const char* kNoSessionBus = "disabled:";

class ChildProcess {
 public:
  // Runs `program` with `args` and the current environment changed by `env`.
  // With `errorFile` set, the child's standard error goes to that file, and
  // with `outputToo` its standard output as well.
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::map<std::string, std::string>& env,
               const std::string& errorFile = std::string(), bool outputToo = false) {
    std::map<std::string, std::string> merged;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry(*e);
      const size_t eq = entry.find('=');
      if (eq != std::string::npos) merged[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : env) merged[name] = value;
    std::vector<std::string> envStrings;
    for (const auto& [name, value] : merged) envStrings.push_back(name + "=" + value);

    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (auto& a : argStrings) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    started_ = std::chrono::steady_clock::now();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!errorFile.empty()) {
      posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
      if (outputToo) posix_spawn_file_actions_adddup2(&actions, 2, 1);
    }
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ChildProcess() {
    if (Running()) {
      kill(pid_, SIGKILL);
      Wait(std::chrono::seconds(5));
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  bool Running() {
    Poll();
    return pid_ > 0 && !exitStatus_;
  }
  // The exit code once the process ended within `limit`; -signal when killed.
  std::optional<int> Wait(std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (true) {
      Poll();
      if (exitStatus_ || pid_ <= 0) return exitStatus_;
      if (std::chrono::steady_clock::now() >= until) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  std::chrono::steady_clock::time_point EndedAt() const { return ended_; }
  void Kill(int signal) { kill(pid_, signal); }

 private:
  void Poll() {
    if (pid_ <= 0 || exitStatus_) return;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      ended_ = std::chrono::steady_clock::now();
      exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
  }
  pid_t pid_ = -1;
  std::optional<int> exitStatus_;
  std::chrono::steady_clock::time_point started_, ended_;
};
