// The settings through the real settings file: odd things at its path,
// refused writes, and writers that run at once or are killed mid-write.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/registry/HiveFile.h"
#include "platform/registry/HiveRegistry.h"
#include "platform/registry/RegFileFormat.h"
#include "platform/registry/UserRegistry.h"
#include "settings/GlobalsUnit.h"
#include "settings/NTReg.h"
#include "settings/XExeCounterUnit.h"
#include "tests/support/TempDir.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

const char* const kKey = "Software\\Vandor\\ScreenSaver\\Lettrance";
const std::string kKeyError =
    "Konnte Daten für '\\Software\\Vandor\\ScreenSaver\\Lettrance' nicht setzen";

std::string HiveText(int32_t fontSize) {
  char line[64];
  std::snprintf(line, sizeof line, "\"FontSize\"=dword:%08x\n", static_cast<unsigned>(fontSize));
  return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + std::string(kKey) +
         "]\n" + line;
}

int32_t StoredFontSize(const std::string& file) {
  const RegParseResult parsed = ParseRegFile(TempDir::Read(file));
  const RegValue* value = parsed.hive.FindValue(kKey, "FontSize");
  if (!parsed.errors.empty() || value == nullptr || value->data.size() != 4) return -1;
  return value->data[0] | (value->data[1] << 8);
}

mode_t ModeOf(const std::string& file) {
  struct stat st;
  return stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Opens the write end of each FIFO whenever a reader waits at the other, so
// that code that wrongly opens one for reading and waits is counted instead
// of hanging the test.
class FifoRescue {
 public:
  explicit FifoRescue(std::vector<std::string> fifos)
      : thread_([this, fifos] {
          while (!done_) {
            for (const std::string& fifo : fifos) {
              struct stat st;
              if (stat(fifo.c_str(), &st) != 0 || !S_ISFIFO(st.st_mode)) continue;
              const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
              if (fd >= 0) {
                ++rescued_;
                close(fd);
              }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          }
        }) {}
  ~FifoRescue() {
    done_ = true;
    thread_.join();
  }
  int Rescued() const { return rescued_; }

 private:
  std::atomic<bool> done_{false};
  std::atomic<int> rescued_{0};
  std::thread thread_;
};

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() : oldUmask(umask(022)) {
    SetInstalledFontsProvider([] { return std::vector<std::string>{"Default", "Arial"}; });
    StoredVersion = ProgramVersion;
  }
  ~SettingsFileTest() override {
    SetUserRegistry(nullptr);
    SetInstalledFontsProvider(nullptr);
    StoredVersion.clear();
    umask(oldUmask);
  }
  void Use(const std::string& file) {
    reports.clear();
    registry = std::make_unique<HiveRegistry>(std::make_unique<HiveFile>(
        file, [this](const std::string& message) { reports.push_back(message); }));
    SetUserRegistry(registry.get());
  }
  static std::string SaveError(const TGlobals& g) {
    try {
      SaveGlobals(g);
    } catch (const ERegistryError& error) {
      return error.what();
    }
    return "";
  }
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
      if (entry.path().filename().string().find(".tmp-") != std::string::npos) {
        found.push_back(entry.path().string());
      }
    }
    return found;
  }

  const mode_t oldUmask;
  TempDir dir;
  std::string path = dir.File("config/registry.reg");
  std::unique_ptr<HiveRegistry> registry;
  std::vector<std::string> reports;
};

TEST_F(SettingsFileTest, OddThingsAtTheSettingsPathStayWhatTheyWere) {
  const std::string elsewhere = dir.File("dotfiles/registry.reg");
  const std::string fifo = dir.File("dotfiles/fifo");
  const auto file = [](const std::string& at, mode_t mode) {
    TempDir::Write(at, HiveText(33));
    chmod(at.c_str(), mode);
  };
  const auto link = [](const std::string& target, const std::string& at) {
    ASSERT_EQ(symlink(target.c_str(), at.c_str()), 0);
  };
  const auto isLinkTo = [](const std::string& at, const std::string& target) {
    return fs::is_symlink(at) && fs::read_symlink(at) == target;
  };
  struct Case {
    const char* what;
    std::function<void()> make;
    int32_t loaded;               // FontSize after loading
    std::string saveError;        // empty when saving works
    std::string report;           // part of what is reported, if anything
    std::function<bool()> after;  // the path still what it was, with what was saved
  };
  const Case cases[] = {
      {"link to a file elsewhere", [&] { file(elsewhere, 0640), link("../dotfiles/registry.reg", path); },
       33, "", "",
       [&] {
         return isLinkTo(path, "../dotfiles/registry.reg") && StoredFontSize(elsewhere) == 77 &&
                ModeOf(elsewhere) == 0640;
       }},
      {"link to a file not made yet", [&] { link(elsewhere, path); }, 60, "", "",
       [&] {
         return isLinkTo(path, elsewhere) && StoredFontSize(elsewhere) == 77 &&
                ModeOf(elsewhere) == 0644;
       }},
      {"FIFO", [&] { mkfifo(path.c_str(), 0644); }, 60, kKeyError, "it is a FIFO",
       [&] { return fs::is_fifo(path); }},
      {"link to a FIFO", [&] { mkfifo(fifo.c_str(), 0644), link(fifo, path); }, 60, kKeyError,
       "it is a FIFO", [&] { return isLinkTo(path, fifo) && fs::is_fifo(fifo); }},
      {"folder", [&] { fs::create_directory(path); }, 60, kKeyError, "it is a folder",
       [&] { return fs::is_directory(path) && fs::is_empty(path); }},
      {"link loop", [&] { link(path, path + "2"), link(path + "2", path); }, 60, kKeyError,
       "Too many levels", [&] { return isLinkTo(path, path + "2"); }},
      {"read-only file", [&] { file(path, 0444); }, 33, kKeyError, "",
       [&] { return StoredFontSize(path) == 33 && ModeOf(path) == 0444; }},
      {"file with its own mode", [&] { file(path, 0604); }, 33, "", "",
       [&] { return StoredFontSize(path) == 77 && ModeOf(path) == 0604; }},
      {"no file yet, umask 027", [&] { umask(027); }, 60, "", "",
       [&] { return StoredFontSize(path) == 77 && ModeOf(path) == 0640; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir.Path());
    fs::create_directories(dir.Path() / "config");
    fs::create_directories(dir.Path() / "dotfiles");
    umask(022);
    c.make();
    const FifoRescue rescue({path, fifo});
    Use(path);
    TGlobals g;
    LoadGlobals(g);
    EXPECT_EQ(g.FontSize, c.loaded);
    g.FontSize = 77;
    EXPECT_EQ(SaveError(g), c.saveError);
    if (c.report.empty()) {
      EXPECT_TRUE(reports.empty()) << reports.front();
    } else {
      ASSERT_EQ(reports.size(), 1u);
      EXPECT_NE(reports[0].find(c.report), std::string::npos) << reports[0];
      EXPECT_EQ(reports[0].rfind("lettrance: cannot use the settings file " + path, 0), 0u)
          << reports[0];
    }
    EXPECT_TRUE(c.after());
    EXPECT_EQ(Temporaries(), std::vector<std::string>{});
    EXPECT_EQ(rescue.Rescued(), 0) << "waited for a writer at a FIFO";
    registry.reset();
  }
}

TEST_F(SettingsFileTest, AWriteTheSystemRefusesRaisesAndKeepsTheFile) {
  fs::create_directories(dir.Path() / "config");
  TempDir::Write(path, HiveText(33));
  // In a child: the file size limit holds for the whole process.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    Use(path);
    TGlobals g;
    LoadGlobals(g);
    g.FontSize = 77;
    const bool raised = SaveError(g) == "Konnte Daten für 'TimerInterval' nicht setzen";
    _exit(raised && reports.size() == 1 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "no error, or no report";
  EXPECT_EQ(StoredFontSize(path), 33);
  EXPECT_EQ(Temporaries(), std::vector<std::string>{});
}

TEST_F(SettingsFileTest, SimultaneousAndKilledWritersLoseNothingAndLeaveNothing) {
  path = dir.File("config/lettrance/registry.reg");
  Use(path);
  TGlobals g;
  LoadGlobals(g);
  g.FontSize = 33;
  SaveGlobals(g);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const auto inChild = [&](const std::function<void()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
      Use(path);  // a registry of its own, as another program would have
      work();
      _exit(0);
    }
    return pid;
  };

  // Starts at the same moment each count.
  constexpr int kStarters = 8, kCounts = 10;
  std::vector<pid_t> starters;
  for (int k = 0; k < kStarters; ++k) {
    starters.push_back(inChild([] {
      for (int n = 0; n < kCounts; ++n) CheckExeCounter(std::string("\\") + kKey, ProgramVersion);
    }));
  }
  for (const pid_t pid : starters) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  // Writers killed at all moments of a write; and the copy one killed before
  // this test began would have left.
  TempDir::Write(path + ".tmp-4242-1", HiveText(1));
  for (int k = 0; k < 16; ++k) {
    const pid_t writer = inChild([k] {
      TGlobals mine;
      LoadGlobals(mine);
      mine.FontSpacing = k;
      while (true) SaveGlobals(mine);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(2 + k));
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
  }

  // The next write leaves no copy behind, and everything is still there.
  Use(path);
  LoadGlobals(g);
  SaveGlobals(g);
  EXPECT_EQ(Temporaries(), std::vector<std::string>{});
  EXPECT_EQ(ModeOf(path), 0640u);
  const RegParseResult parsed = ParseRegFile(TempDir::Read(path));
  EXPECT_TRUE(parsed.errors.empty());
  const RegValue* counter = parsed.hive.FindValue(kKey, "ExeCounter");
  ASSERT_NE(counter, nullptr);
  EXPECT_EQ(counter->data, (std::vector<uint8_t>{kStarters * kCounts, 0, 0, 0}));
  EXPECT_EQ(StoredFontSize(path), 33);
}

}  // namespace
