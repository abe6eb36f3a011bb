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

TEST_F(SingleInstanceTest, SecondProcessIsTurnedAwayUntilTheFirstIsKilled) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {  // the first copy: takes the guard and keeps it
    SingleInstanceGuard guard(kName);
    const char state = guard.State() == State::Held ? 'H' : '-';
    if (write(ready[1], &state, 1) == 1) pause();
    _exit(1);
  }
  char state = 0;
  ASSERT_EQ(read(ready[0], &state, 1), 1);
  ASSERT_EQ(state, 'H');
  EXPECT_EQ(SingleInstanceGuard(kName).State(), State::OtherCopyRuns);

  kill(holder, SIGKILL);  // a crash never blocks the next start
  waitpid(holder, nullptr, 0);
  SingleInstanceGuard next(kName);
  EXPECT_EQ(next.State(), State::Held);
  EXPECT_EQ(next.Path(), runtime.File(kName));
}

TEST_F(SingleInstanceTest, GuardGoesWithItsOwnerNotWithProgramsItStarted) {
  auto guard = std::make_unique<SingleInstanceGuard>(kName);
  ASSERT_EQ(guard->State(), State::Held);
  EXPECT_EQ(SingleInstanceGuard("OtherGuard").State(), State::Held);
  pid_t sleeper = 0;
  char program[] = "/bin/sleep";
  char seconds[] = "30";
  char* argv[] = {program, seconds, nullptr};
  ASSERT_EQ(posix_spawn(&sleeper, program, nullptr, nullptr, argv, environ), 0);
  guard.reset();
  EXPECT_EQ(SingleInstanceGuard(kName).State(), State::Held);  // the sleeper holds nothing
  kill(sleeper, SIGKILL);
  waitpid(sleeper, nullptr, 0);
}

TEST_F(SingleInstanceTest, UnusableRuntimeFolderFallsBackToTheTemporaryFolder) {
  TempDir temp;
  ScopedEnv tmp("TMPDIR", temp.Path().c_str());
  for (const char* runtimeValue : {"run/user", "/no/such/folder"}) {
    ScopedEnv unusable("XDG_RUNTIME_DIR", runtimeValue);
    EXPECT_EQ(SingleInstanceGuard(kName).Path(), temp.File(kName)) << runtimeValue;
  }
}

TEST_F(SingleInstanceTest, PlantedLinkIsNotFollowed) {
  std::filesystem::create_symlink(runtime.File("elsewhere"), runtime.File(kName));
  EXPECT_EQ(SingleInstanceGuard(kName).State(), State::Unavailable);  // run without a guard
  EXPECT_FALSE(std::filesystem::exists(runtime.File("elsewhere")));
}

}  // namespace
