// The timer on real threads and the real clock: where the handlers run, how
// the hand-over to the GUI thread behaves, and the timer's end. Bounds are
// generous; no test depends on how fast the machine is.

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

#include "host/XAdvTimerComp.h"

using namespace std::chrono_literals;

namespace {

class AdvTimerThreads : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "XAdvTimerThreadTest";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }

  // Runs the GUI thread's event loop until `done` holds or 20 s have passed.
  static bool RunUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (done()) loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
  }

  static void RunFor(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
  }

  const std::thread::id gui_ = std::this_thread::get_id();
};

}  // namespace

TEST_F(AdvTimerThreads, OnTimerRunsOnTheGuiThreadAndOnAsyncOnTheWorker) {
  std::atomic<int> onGui{0}, asyncOnWorker{0}, elsewhere{0};
  TAdvTimer timer;
  timer.SetInterval(5);
  timer.SetOnAsync([&](QObject* sender) {
    (std::this_thread::get_id() != gui_ && sender == &timer ? asyncOnWorker : elsewhere)++;
  });
  timer.SetOnTimer([&](QObject* sender) {
    (std::this_thread::get_id() == gui_ && sender == &timer ? onGui : elsewhere)++;
  });
  EXPECT_TRUE(RunUntil([&] { return onGui >= 5; }));
  EXPECT_GE(asyncOnWorker.load(), 5);
  EXPECT_EQ(elsewhere.load(), 0);
}

TEST_F(AdvTimerThreads, IntervalZeroDeliversOneTickAtATimeBackToBack) {
  // The worker waits for each OnTimer, so OnAsync has run exactly once more
  // than OnTimer whenever OnTimer runs.
  std::atomic<int> asyncTicks{0}, guiTicks{0}, overlaps{0};
  TAdvTimer timer;
  timer.SetEnabled(false);
  timer.SetInterval(0);
  timer.SetOnAsync([&](QObject*) { ++asyncTicks; });
  timer.SetOnTimer([&](QObject*) {
    if (asyncTicks.load() != ++guiTicks) ++overlaps;
  });
  timer.SetEnabled(true);
  EXPECT_TRUE(RunUntil([&] { return guiTicks >= 300; }));
  EXPECT_EQ(overlaps.load(), 0);
}

TEST_F(AdvTimerThreads, ADisabledTimerNeverTicksUntilEnabled) {
  std::atomic<int> ticks{0};
  TAdvTimer timer;
  timer.SetEnabled(false);
  timer.SetInterval(1);
  timer.SetOnTimer([&](QObject*) { ++ticks; });
  timer.SetOnAsync([&](QObject*) { ++ticks; });
  RunFor(200ms);
  EXPECT_EQ(ticks.load(), 0);
  timer.SetEnabled(true);
  EXPECT_TRUE(RunUntil([&] { return ticks >= 2; }));
}

TEST_F(AdvTimerThreads, DestroyingTheOwnerWhileATickWaitsForTheGuiThreadReturns) {
  // The GUI thread is busy (not running its event loop) when the worker hands
  // a tick over; the owner then deletes the timer. The worker must be let go,
  // and the queued tick must never run.
  for (const auto settle : {0ms, 50ms}) {
    std::atomic<int> handedOver{0}, guiTicks{0};
    auto* owner = new QObject;
    auto* timer = new TAdvTimer(owner);
    timer->SetEnabled(false);
    timer->SetInterval(0);
    timer->SetOnTimer([&](QObject*) { ++guiTicks; });
    timer->SetOnAsync([&](QObject*) { ++handedOver; });
    timer->SetEnabled(true);
    for (int i = 0; i < 20000 && handedOver == 0; ++i) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(settle);  // let the worker reach its wait
    delete owner;
    RunFor(50ms);
    EXPECT_EQ(handedOver.load(), 1);
    EXPECT_EQ(guiTicks.load(), 0);
  }
}

TEST_F(AdvTimerThreads, AnErrorInOnTimerEndsTheWorkerWithItsMessage) {
  std::atomic<int> ticks{0};
  TAdvTimer timer;
  timer.SetInterval(2);
  timer.SetOnTimer([&](QObject*) {
    ++ticks;
    throw std::runtime_error("frame failed");
  });
  EXPECT_TRUE(RunUntil([&] { return !timer.WorkerError().empty(); }));
  EXPECT_EQ(timer.WorkerError(), "frame failed");
  RunFor(100ms);
  EXPECT_EQ(ticks.load(), 1);
}
