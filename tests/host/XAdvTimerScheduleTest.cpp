// The worker's schedule, driven by a fake clock: every expected tick time is
// worked out by hand from the due-time rules (ticks at restart + k * interval,
// catch up at once when at most 20 ms late, restart from now when later).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "FakeTimerClock.h"
#include "host/XAdvTimerComp.h"

namespace {

// Records the clock at each tick on the worker and spends the handler time
// given for that tick by moving the clock.
class TickLog {
 public:
  TickLog(FakeTimerClock& clock, std::vector<uint32_t> handlerMs = {})
      : clock_(clock), handlerMs_(std::move(handlerMs)) {}

  TAdvTimer::TNotifyEvent Handler() {
    return [this](QObject*) {
      const uint32_t now = clock_.Time();
      size_t index;
      {
        std::lock_guard lock(mutex_);
        index = times_.size();
        times_.push_back(now);
      }
      ticked_.notify_all();
      if (index < handlerMs_.size()) clock_.Advance(handlerMs_[index]);
    };
  }

  // The first `count` tick times; fewer if they do not come.
  std::vector<uint32_t> First(size_t count) {
    std::unique_lock lock(mutex_);
    ticked_.wait_for(lock, std::chrono::seconds(20), [&] { return times_.size() >= count; });
    return {times_.begin(), times_.begin() + std::min(count, times_.size())};
  }

  size_t Count() {
    std::lock_guard lock(mutex_);
    return times_.size();
  }

 private:
  FakeTimerClock& clock_;
  const std::vector<uint32_t> handlerMs_;
  std::mutex mutex_;
  std::condition_variable ticked_;
  std::vector<uint32_t> times_;
};

// Sets the timer up while it is disabled and enables it only once the worker
// sleeps with nothing pending, so that no tick starts (and moves the clock)
// before the last setter has restarted the schedule.
void StartTicking(TAdvTimer& timer, FakeTimerClock& clock, int32_t interval,
                  TAdvTimer::TNotifyEvent handler) {
  timer.SetEnabled(false);
  timer.SetInterval(interval);
  timer.SetOnAsync(std::move(handler));
  ASSERT_TRUE(clock.AwaitSleeping());
  timer.SetEnabled(true);
}

std::vector<uint32_t> TickTimes(uint32_t start, int32_t interval, std::vector<uint32_t> handlerMs,
                                size_t count) {
  FakeTimerClock clock(start);
  TickLog log(clock, std::move(handlerMs));
  TAdvTimer timer(
      nullptr, [&] { return clock.Now(); }, clock.MakeEvent());
  StartTicking(timer, clock, interval, log.Handler());
  return log.First(count);
}

using Ticks = std::vector<uint32_t>;

}  // namespace

TEST(AdvTimerSchedule, TicksKeepTheirDueTimesWhateverTheHandlerCosts) {
  // Interval 40, 10 ms per handler: due at 1040, 1080, 1120, ...
  EXPECT_EQ(TickTimes(1000, 40, {10, 10, 10, 10}, 4), (Ticks{1040, 1080, 1120, 1160}));
}

TEST(AdvTimerSchedule, LatenessDecidesBetweenCatchingUpAndRestarting) {
  // 60 ms in the first handler: at 1100 the tick due at 1080 is 20 ms late,
  // comes at once, and the one due at 1120 keeps its time.
  EXPECT_EQ(TickTimes(1000, 40, {60}, 4), (Ticks{1040, 1100, 1120, 1160}));
  // 61 ms: 21 ms late at 1101, so the schedule restarts there: 1141, 1181.
  EXPECT_EQ(TickTimes(1000, 40, {61}, 4), (Ticks{1040, 1101, 1141, 1181}));
  // Interval 25 with one 100 ms call: the next tick at once (1125), then
  // 25 ms steps from there; the three ticks missed meanwhile never come.
  EXPECT_EQ(TickTimes(1000, 25, {100}, 4), (Ticks{1025, 1125, 1150, 1175}));
}

TEST(AdvTimerSchedule, SurvivesTheClockWrappingAround) {
  // 2^32 - 64: due at -24, 16, 56, 96 modulo 2^32.
  EXPECT_EQ(TickTimes(0xFFFFFFC0u, 40, {10, 10, 10, 10}, 4),
            (Ticks{0xFFFFFFE8u, 0x10u, 0x38u, 0x60u}));
  // 2^32 - 16: first tick at 9; a 100 ms call makes it 75 ms late at 109.
  EXPECT_EQ(TickTimes(0xFFFFFFF0u, 25, {100}, 4), (Ticks{9, 109, 134, 159}));
}

TEST(AdvTimerSchedule, IntervalZeroTicksBackToBackWithoutSleeping) {
  FakeTimerClock clock(1000);
  TickLog log(clock, {3, 3, 3, 3});
  {
    TAdvTimer timer(
        nullptr, [&] { return clock.Now(); }, clock.MakeEvent());
    StartTicking(timer, clock, 0, log.Handler());
    EXPECT_EQ(log.First(4), (Ticks{1000, 1003, 1006, 1009}));
  }
  for (uint32_t wait : clock.WaitsRequested()) EXPECT_EQ(wait, kWaitInfinite);
}

TEST(AdvTimerSchedule, EnablingStartsAFullIntervalFromThatMoment) {
  FakeTimerClock clock(1000);
  TickLog log(clock);
  TAdvTimer timer(
      nullptr, [&] { return clock.Now(); }, clock.MakeEvent());
  timer.SetEnabled(false);
  timer.SetInterval(40);
  timer.SetOnAsync(log.Handler());
  ASSERT_TRUE(clock.AwaitSleeping());
  clock.Advance(500);
  timer.SetEnabled(true);
  EXPECT_EQ(log.First(2), (Ticks{1540, 1580}));
}

TEST(AdvTimerSchedule, ChangingTheIntervalStartsAFreshPeriod) {
  FakeTimerClock clock(1000);
  TickLog log(clock);
  TAdvTimer timer(
      nullptr, [&] { return clock.Now(); }, clock.MakeEvent());
  clock.HoldAt(1100);  // between the ticks due at 1080 and 1120
  StartTicking(timer, clock, 40, log.Handler());
  ASSERT_TRUE(clock.AwaitSleeping());
  timer.SetInterval(30);
  EXPECT_EQ(log.First(4), (Ticks{1040, 1080, 1130, 1160}));
}

TEST(AdvTimerSchedule, ARestartDuringALateTickIsNotOverwritten) {
  // Interval 10, 15 ms in the first handler: at 1025 the tick due at 1020 is
  // late. The worker has read that due time when the interval changes to
  // 100, so the late tick still comes at 1025, but the next one is due a
  // full new interval after the change (1125), not 100 after 1020.
  FakeTimerClock clock(1000);
  TickLog log(clock, {15});
  TAdvTimer timer(
      nullptr, [&] { return clock.Now(); }, clock.MakeEvent());
  clock.PauseWorkerReadAt(1025);
  StartTicking(timer, clock, 10, log.Handler());
  ASSERT_TRUE(clock.AwaitPaused());
  timer.SetInterval(100);
  clock.Resume();
  EXPECT_EQ(log.First(4), (Ticks{1010, 1025, 1125, 1225}));
}

TEST(AdvTimerSchedule, WithoutHandlerOrWhenDisabledTheWorkerSleepsUntilToldOtherwise) {
  FakeTimerClock clock(1000);
  TickLog log(clock);
  TAdvTimer timer(
      nullptr, [&] { return clock.Now(); }, clock.MakeEvent());
  timer.SetInterval(10);
  ASSERT_TRUE(clock.AwaitSleeping());
  EXPECT_EQ(clock.WaitsRequested().back(), kWaitInfinite);

  timer.SetEnabled(false);
  timer.SetOnAsync(log.Handler());
  ASSERT_TRUE(clock.AwaitSleeping());
  EXPECT_EQ(clock.WaitsRequested().back(), kWaitInfinite);
  EXPECT_EQ(log.Count(), 0u);
  EXPECT_EQ(clock.Time(), 1000u);
}

TEST(AdvTimerSchedule, AnUnexpectedWaitResultEndsTheWorker) {
  FakeTimerClock clock(1000);
  clock.FailNextWait();
  TickLog log(clock);
  TAdvTimer timer(
      nullptr, [&] { return clock.Now(); }, clock.MakeEvent());
  timer.SetInterval(10);
  timer.SetOnAsync(log.Handler());
  for (int i = 0; i < 2000 && timer.WorkerError().empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(timer.WorkerError(), "AdvTimer: WaitResult = 0?");
  EXPECT_EQ(clock.WaitsRequested().size(), 1u);
  EXPECT_EQ(log.Count(), 0u);
}
