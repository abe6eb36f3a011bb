#include "platform/SingleInstance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

using platform::SingleInstanceGuard;
using State = SingleInstanceGuard::TState;

extern char** environ;

namespace {

const char* const kName = "ScreenSaverSemaphore";

class SingleInstanceTest : public ::testing::Test {
 protected:
  TempDir runtime;
  ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.Path().c_str()};
};

// A second process that takes the guard and keeps it until it is killed.
pid_t StartHolder(int& readyPipe) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    SingleInstanceGuard guard(kName);
    const char state = guard.State() == State::Held ? 'H' : 'x';
    if (write(fds[1], &state, 1) != 1) _exit(1);
    for (;;) pause();
  }
  close(fds[1]);
  readyPipe = fds[0];
  return child;
}

TEST_F(SingleInstanceTest, SecondProcessIsTurnedAwayUntilTheFirstIsKilled) {
  int ready = -1;
  const pid_t holder = StartHolder(ready);
  ASSERT_GT(holder, 0);
  char state = 0;
  ASSERT_EQ(read(ready, &state, 1), 1);
  close(ready);
  ASSERT_EQ(state, 'H');

  {
    SingleInstanceGuard second(kName);
    EXPECT_EQ(second.State(), State::OtherCopyRuns);
  }

  // A copy that dies without cleaning up never blocks the next start.
  kill(holder, SIGKILL);
  int status = 0;
  waitpid(holder, &status, 0);
  SingleInstanceGuard next(kName);
  EXPECT_EQ(next.State(), State::Held);
  EXPECT_EQ(next.Path(), runtime.File(kName));
}

TEST_F(SingleInstanceTest, GuardIsReleasedWithItsOwner) {
  auto first = std::make_unique<SingleInstanceGuard>(kName);
  ASSERT_EQ(first->State(), State::Held);
  EXPECT_EQ(SingleInstanceGuard(kName).State(), State::OtherCopyRuns);
  EXPECT_EQ(SingleInstanceGuard("AnotherGuard").State(), State::Held);
  first.reset();
  EXPECT_EQ(SingleInstanceGuard(kName).State(), State::Held);
}

TEST_F(SingleInstanceTest, ProgramsWeStartDoNotInheritTheGuard) {
  auto guard = std::make_unique<SingleInstanceGuard>(kName);
  ASSERT_EQ(guard->State(), State::Held);
  pid_t sleeper = 0;
  char sleepPath[] = "/bin/sleep";
  char seconds[] = "30";
  char* argv[] = {sleepPath, seconds, nullptr};
  ASSERT_EQ(posix_spawn(&sleeper, sleepPath, nullptr, nullptr, argv, environ), 0);
  guard.reset();
  EXPECT_EQ(SingleInstanceGuard(kName).State(), State::Held);  // the sleeper holds nothing
  kill(sleeper, SIGKILL);
  waitpid(sleeper, nullptr, 0);
}

TEST_F(SingleInstanceTest, FolderFallsBackToTheTemporaryFolder) {
  TempDir temp;
  ScopedEnv tmp("TMPDIR", temp.Path().c_str());
  EXPECT_EQ(platform::SingleInstanceFolder(), runtime.Path().string());
  {
    ScopedEnv unset("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(platform::SingleInstanceFolder(), temp.Path().string());
  }
  {
    ScopedEnv relative("XDG_RUNTIME_DIR", "run/user");
    EXPECT_EQ(platform::SingleInstanceFolder(), temp.Path().string());
  }
  {
    ScopedEnv missing("XDG_RUNTIME_DIR", runtime.File("gone").c_str());
    SingleInstanceGuard guard(kName);
    EXPECT_EQ(guard.State(), State::Held);
    EXPECT_EQ(guard.Path(), temp.File(kName));
  }
}

TEST_F(SingleInstanceTest, PlantedLinkIsNotFollowed) {
  std::filesystem::create_symlink(runtime.File("elsewhere"), runtime.File(kName));
  SingleInstanceGuard guard(kName);
  EXPECT_EQ(guard.State(), State::Unavailable);  // runs without a guard
  EXPECT_FALSE(std::filesystem::exists(runtime.File("elsewhere")));
}

}  // namespace
