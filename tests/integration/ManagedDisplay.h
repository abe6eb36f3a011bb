#pragma once
// The X server a program test runs against: the shared one (DISPLAY, no
// window manager), or one of the test's own, 1280 x 720 like the shared one,
// managed by openbox as a user's desktop would be. A window manager decides
// which window is above which and which one has the focus; only under one
// can a test see what a user sees.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "tests/integration/ChildProcess.h"
#include "tests/integration/ScratchDisplay.h"

class ManagedDisplay {
 public:
  // Managed: starts the server and openbox on it, and points DISPLAY at it
  // (for xdotool and the program) until this ends.
  explicit ManagedDisplay(bool managed) {
    if (!managed) return;
    if (const char* shared = std::getenv("DISPLAY")) shared_ = std::string(shared);
    server_ = std::make_unique<ScratchDisplay>(1280, 720);
    if (server_->Name().empty()) return;
    setenv("DISPLAY", server_->Name().c_str(), 1);
    // No session manager to talk to; the stock configuration of the package.
    // Its messages are kept for a test that finds it gone.
    log_ = (std::filesystem::temp_directory_path() /
            ("lettrance-openbox-" + std::to_string(getpid()) + ".log"))
               .string();
    openbox_ = std::make_unique<ChildProcess>("/usr/bin/openbox",
                                              std::vector<std::string>{"--sm-disable"},
                                              std::map<std::string, std::string>{}, log_);
    managing_ = WaitUntilManaged();
  }
  ~ManagedDisplay() {
    if (openbox_ != nullptr) {
      openbox_->Kill(SIGTERM);
      openbox_->Wait(std::chrono::seconds(5));
    }
    if (!log_.empty()) std::remove(log_.c_str());
    if (server_ == nullptr) return;
    if (shared_) {
      setenv("DISPLAY", shared_->c_str(), 1);
    } else {
      unsetenv("DISPLAY");
    }
  }
  ManagedDisplay(const ManagedDisplay&) = delete;
  ManagedDisplay& operator=(const ManagedDisplay&) = delete;

  bool Managed() const { return server_ != nullptr; }
  // Managed and openbox has taken the screen over.
  bool Managing() const { return managing_; }
  // What openbox said, and the server's name, for a failure message.
  std::string Report() const {
    return "server " + (server_ != nullptr ? server_->Name() : std::string("none")) +
           ", openbox said: " + TempDirRead(log_);
  }

 private:
  static std::string TempDirRead(const std::string& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // A window manager announces itself with a check window on the root.
  bool WaitUntilManaged() {
    Display* display = XOpenDisplay(server_->Name().c_str());
    if (display == nullptr) return false;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    bool found = false;
    for (int attempt = 0; attempt < 200 && !found && openbox_->Running(); ++attempt) {
      Atom type = None;
      int format = 0;
      unsigned long count = 0, left = 0;
      unsigned char* data = nullptr;
      found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                 XA_WINDOW, &type, &format, &count, &left, &data) == Success &&
              count == 1;
      if (data != nullptr) XFree(data);
      if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(display);
    return found;
  }

  std::optional<std::string> shared_;
  std::unique_ptr<ScratchDisplay> server_;
  std::unique_ptr<ChildProcess> openbox_;
  std::string log_;
  bool managing_ = false;
};
