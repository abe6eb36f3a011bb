#pragma once
// An X server of the test's own, on a free display number, for tests that
// need a server configured differently from the shared one: optionally two
// monitors side by side (Xephyr with Xinerama over two screens, nested in an
// Xvfb; Xvfb alone stacks its Xinerama screens on top of each other).

#include <sys/stat.h>

#include <memory>
#include <string>

#include "tests/integration/ChildProcess.h"
#include "tests/integration/XServer.h"

class ScratchDisplay {
 public:
  // One monitor of `width` x `height`, or two of that size side by side.
  ScratchDisplay(int width, int height, bool twoMonitors) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    // Room for the nested server's window, or exactly the one monitor.
    const std::string outerSize =
        twoMonitors ? std::to_string(2 * width + 20) + "x" + std::to_string(height + 20) : size;
    const std::string outer = Start("/usr/bin/Xvfb",
                                    {"-screen", "0", outerSize + "x24", "-br", "-nolisten", "tcp"},
                                    {}, outer_);
    if (outer.empty() || !twoMonitors) {
      name_ = outer;
      return;
    }
    name_ = Start(
        "/usr/bin/Xephyr",
        {"-screen", size, "-screen", size, "+xinerama", "-br", "-nolisten", "tcp", "-no-host-grab"},
        {{"DISPLAY", outer}}, nested_);
  }
  // A server stopped by SIGTERM removes its lock file; SIGKILL would leave it.
  ~ScratchDisplay() {
    for (auto* process : {&nested_, &outer_}) {
      if (*process == nullptr) continue;
      (*process)->Kill(SIGTERM);
      (*process)->Wait(std::chrono::seconds(5));
      process->reset();
    }
  }
  ScratchDisplay(const ScratchDisplay&) = delete;
  ScratchDisplay& operator=(const ScratchDisplay&) = delete;

  // One screen of exactly `width` x `height`, as a user's single monitor.
  ScratchDisplay(int width, int height) {
    name_ = Start("/usr/bin/Xvfb",
                  {"-screen", "0", std::to_string(width) + "x" + std::to_string(height) + "x24",
                   "-br", "-nolisten", "tcp"},
                  {}, outer_);
  }

  // ":n", or empty when the server could not be started.
  const std::string& Name() const { return name_; }

  // xdotool against this server.
  bool Xdotool(const std::string& arguments) const {
    return std::system(
               ("DISPLAY=" + name_ + " xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
  }

 private:
  // Built with append: GCC 12 at -O3 warns falsely about "literal" + string.
  static std::string Joined(const char* prefix, int n, const char* suffix = "") {
    std::string text(prefix);
    text.append(std::to_string(n)).append(suffix);
    return text;
  }

  static bool Taken(int n) {
    struct stat info {};
    return stat(Joined("/tmp/.X", n, "-lock").c_str(), &info) == 0 ||
           stat(Joined("/tmp/.X11-unix/X", n).c_str(), &info) == 0;
  }

  // Starts `server` on the first free display from 160 on that it accepts;
  // returns its name once clients can connect.
  static std::string Start(const std::string& server, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env,
                           std::unique_ptr<ChildProcess>& process) {
    for (int n = 160; n < 260; ++n) {
      if (Taken(n)) continue;
      const std::string name = Joined(":", n);
      std::vector<std::string> all{name};
      all.insert(all.end(), args.begin(), args.end());
      process = std::make_unique<ChildProcess>(server, all, env, "/dev/null");
      for (int attempt = 0; attempt < 200 && process->Running(); ++attempt) {
        if (Display* display = XOpenDisplay(name.c_str())) {
          XCloseDisplay(display);
          return name;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      process.reset();  // taken meanwhile, or failed: try the next number
    }
    return {};
  }

  std::unique_ptr<ChildProcess> outer_;
  std::unique_ptr<ChildProcess> nested_;
  std::string name_;
};
