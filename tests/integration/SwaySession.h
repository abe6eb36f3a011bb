#pragma once
// A private Wayland session for the tests: headless sway with two outputs,
// its own runtime folder and home, and helpers that act in it as a user
// would (swaymsg, grim, wtype). sway refuses to run as root, so as root the
// session and every program in it run as "nobody".

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/integration/ChildProcess.h"
#include "tests/integration/NobodyHome.h"
#include "tests/support/TempDir.h"

struct SwayRect {
  int X = 0, Y = 0, Width = 0, Height = 0;
  bool operator==(const SwayRect&) const = default;
};

// One of our windows as sway sees it.
struct SwayWindow {
  long Id = 0;
  std::string Title;
  std::string Output;
  bool FullScreen = false;
  bool Floating = false;
  SwayRect Rect;
  bool Focused = false;  // has the seat's keyboard
};

class SwaySession {
 public:
  // `config` goes into sway's configuration after the outputs' lines.
  explicit SwaySession(const std::string& config = "") {
    namespace fs = std::filesystem;
    const fs::path home = dir_.Path();
    fs::create_directories(home / "bin");
    fs::create_directories(home / "run");
    fs::copy_file(LETTRANCE_EXE, home / "bin/lettrance");
    fs::copy_file(VIRTUAL_POINTER_EXE, home / "bin/wayland-virtual-pointer");
    TempDir::Write((home / "sway.conf").string(),
                   "output HEADLESS-1 resolution 640x480 position 0 0\n"
                   "output HEADLESS-2 resolution 640x480 position 640 0\n" +
                       config);
    env_ = SanitizerEnvironment(home);
    env_.insert(env_.end(), {"HOME=" + home.string(), "XDG_RUNTIME_DIR=" + (home / "run").string(),
                             "PATH=/usr/bin:/bin"});
    if (geteuid() == 0) {
      if (!HandToNobody(home)) return;
      prefix_ = {"/usr/sbin/runuser", "-u", "nobody", "--"};
    }
    fs::permissions(home / "run", fs::perms::owner_all);
    std::vector<std::string> args = As({"WLR_BACKENDS=headless", "WLR_HEADLESS_OUTPUTS=2",
                                        "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman"},
                                       {"/usr/bin/sway", "-c", (home / "sway.conf").string()});
    const std::string program = args.front();
    args.erase(args.begin());
    sway_ = std::make_unique<ChildProcess>(program, args, std::map<std::string, std::string>{},
                                           File("sway.log"));
    // Ready once its outputs answer.
    for (auto start = std::chrono::steady_clock::now();
         std::chrono::steady_clock::now() - start < std::chrono::seconds(30) && sway_->Running();) {
      FindSockets();
      if (!socket_.empty() && !ipc_.empty() &&
          Shell("swaymsg -t get_outputs").find("HEADLESS-2") != std::string::npos) {
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Without input devices the seat has no pointer for swaymsg to move, and
    // a keyboard only while wtype runs: a client that binds it only then may
    // miss the key. Both are kept for the whole session.
    pointer_ = Start({}, {(home / "bin/wayland-virtual-pointer").string()}, "pointer.log");
    keyboard_ = Start({}, {"/usr/bin/wtype", "-s", "86400000"}, "keyboard.log");
    for (auto start = std::chrono::steady_clock::now();
         std::chrono::steady_clock::now() - start < std::chrono::seconds(30) &&
         pointer_->Running() && keyboard_->Running();) {
      const QJsonDocument seats =
          QJsonDocument::fromJson(QByteArray::fromStdString(Shell("swaymsg -t get_seats")));
      // WL_SEAT_CAPABILITY_POINTER and _KEYBOARD
      if ((seats.array().at(0)["capabilities"].toInt() & 3) == 3) {
        ready_ = true;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~SwaySession() {
    // What was done in the session, for a test that failed.
    if (::testing::Test::HasFailure()) std::fprintf(stderr, "%s", Log().c_str());
    // wtype sleeping holds no eye on the display and would outlive sway (and
    // keep the test's output open): it is ended by its process id, below
    // runuser where runuser started it.
    if (keyboard_ != nullptr) {
      for (pid_t pid : ChildrenOf(keyboard_->Pid())) kill(pid, SIGKILL);
      keyboard_->Kill(SIGKILL);
    }
    if (sway_ == nullptr) return;
    if (ready_) Shell("swaymsg exit");
    if (!sway_->Wait(std::chrono::seconds(10))) {
      // runuser waits for sway: end sway itself, which ends its children.
      for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream cmdline(entry.path() / "cmdline");
        std::string text;
        std::getline(cmdline, text);
        if (text.find(dir_.Path().string() + "/sway.conf") != std::string::npos &&
            text.rfind("/usr/bin/sway", 0) == 0) {
          kill(std::stoi(entry.path().filename().string()), SIGKILL);
        }
      }
      sway_->Wait(std::chrono::seconds(5));
    }
  }
  SwaySession(const SwaySession&) = delete;
  SwaySession& operator=(const SwaySession&) = delete;

  bool Ready() const { return ready_; }
  std::string Log() const {
    return TempDir::Read(File("sway.log")) + TempDir::Read(File("pointer.log")) +
           TempDir::Read(File("keyboard.log")) + TempDir::Read(File("shell.log"));
  }
  std::string File(const std::string& name) const { return dir_.File(name); }
  std::string Program() const { return dir_.File("bin/lettrance"); }
  std::string Home() const { return dir_.Path().string(); }

  // The command line that runs `command` in the session as its user, with
  // the session's environment and `extra` (NAME=value).
  std::vector<std::string> As(const std::vector<std::string>& extra,
                              const std::vector<std::string>& command) const {
    std::vector<std::string> line = prefix_;
    line.insert(line.end(), {"/usr/bin/env", "-i"});
    line.insert(line.end(), env_.begin(), env_.end());
    if (!socket_.empty()) line.push_back("WAYLAND_DISPLAY=" + socket_);
    if (!ipc_.empty()) line.push_back("SWAYSOCK=" + ipc_);
    line.insert(line.end(), extra.begin(), extra.end());
    line.insert(line.end(), command.begin(), command.end());
    return line;
  }

  // A shell command in the session; what it printed on stdout. Ended after
  // 20 seconds (status 124), so that a tool stuck on the compositor fails
  // the test instead of hanging it; shell.log names it.
  std::string Shell(const std::string& command, int* status = nullptr) const {
    std::string line =
        "echo " + Quote(command) + " >>" + Quote(File("shell.log")) + "; /usr/bin/timeout -k 5 20 ";
    for (const std::string& word : As({}, {"/bin/sh", "-c", command})) line += Quote(word) + " ";
    line += "2>>" + Quote(File("shell.log"));
    std::string out;
    if (FILE* pipe = popen(line.c_str(), "r")) {
      char buffer[65536];
      size_t got = 0;
      while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
      const int code = pclose(pipe);
      if (status != nullptr) *status = WIFEXITED(code) ? WEXITSTATUS(code) : -1;
    }
    return out;
  }

  // Starts `command` in the session, its stderr into the file `errors`.
  std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& extra,
                                      const std::vector<std::string>& command,
                                      const std::string& errors) const {
    std::vector<std::string> args = As(extra, command);
    const std::string program = args.front();
    args.erase(args.begin());
    return std::make_unique<ChildProcess>(program, args, std::map<std::string, std::string>{},
                                          File(errors));
  }

  // The pixels of output `name` as grim reads them back, the pointer
  // included (headless sway draws it into the output); null when it cannot.
  QImage Pixels(const std::string& name) const {
    // A grim that waits for a frame the compositor never draws is given up
    // soon, so that the callers' loops ask again.
    const std::string ppm = Shell("timeout 5 grim -t ppm -o " + name + " -");
    return QImage::fromData(reinterpret_cast<const uchar*>(ppm.data()),
                            static_cast<int>(ppm.size()), "PPM")
        .convertToFormat(QImage::Format_RGB32);
  }

  // Our windows (app_id lettrance) in sway's tree.
  std::vector<SwayWindow> Windows() const {
    std::vector<SwayWindow> found;
    const QJsonDocument tree =
        QJsonDocument::fromJson(QByteArray::fromStdString(Shell("swaymsg -t get_tree")));
    Walk(tree.object(), "", false, found);
    return found;
  }

  // Layout rectangles of the outputs by name.
  std::map<std::string, SwayRect> Outputs() const {
    std::map<std::string, SwayRect> outputs;
    const QJsonDocument list =
        QJsonDocument::fromJson(QByteArray::fromStdString(Shell("swaymsg -t get_outputs")));
    for (const QJsonValue& output : list.array()) {
      outputs[output["name"].toString().toStdString()] = RectOf(output["rect"].toObject());
    }
    return outputs;
  }

  static std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  }

 private:
  static SwayRect RectOf(const QJsonObject& rect) {
    return SwayRect{rect["x"].toInt(), rect["y"].toInt(), rect["width"].toInt(),
                    rect["height"].toInt()};
  }

  static void Walk(const QJsonObject& node, std::string output, bool floating,
                   std::vector<SwayWindow>& found) {
    if (node["type"].toString() == QLatin1String("output")) {
      output = node["name"].toString().toStdString();
    }
    if (node["app_id"].toString() == QLatin1String("lettrance")) {
      found.push_back(SwayWindow{node["id"].toInteger(), node["name"].toString().toStdString(),
                                 output, node["fullscreen_mode"].toInt() != 0, floating,
                                 RectOf(node["rect"].toObject()), node["focused"].toBool()});
    }
    for (const QJsonValue& child : node["nodes"].toArray()) {
      Walk(child.toObject(), output, floating, found);
    }
    for (const QJsonValue& child : node["floating_nodes"].toArray()) {
      Walk(child.toObject(), output, true, found);
    }
  }

  // The processes whose parent is `parent`.
  static std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      std::ifstream stat(entry.path() / "stat");
      std::string text;
      std::getline(stat, text);
      const size_t close = text.rfind(')');
      if (close == std::string::npos) continue;
      std::istringstream fields(text.substr(close + 2));
      std::string state;
      long ppid = 0;
      fields >> state >> ppid;
      if (ppid == parent) children.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return children;
  }

  void FindSockets() {
    namespace fs = std::filesystem;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir_.Path() / "run", error)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos) {
        socket_ = name;
      }
      if (name.rfind("sway-ipc.", 0) == 0) ipc_ = entry.path().string();
    }
  }

  TempDir dir_;
  std::vector<std::string> prefix_;
  std::vector<std::string> env_;
  std::string socket_;
  std::string ipc_;
  std::unique_ptr<ChildProcess> sway_;
  std::unique_ptr<ChildProcess> pointer_;
  std::unique_ptr<ChildProcess> keyboard_;
  bool ready_ = false;
};
