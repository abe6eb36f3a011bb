#include "host/FrameDriver.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <cstdio>

#include "engine/QtSurface.h"
#include "host/TextFeeds.h"
#include "host/XAdvTimerComp.h"

namespace {
// Posted to itself when the loop is idle and frames come as fast as it goes.
const QEvent::Type kIdleFrame = static_cast<QEvent::Type>(QEvent::registerEventType());
}  // namespace

TFrameDriver::TFrameDriver(QObject* parent) : QObject(parent), FTimer(new TAdvTimer(this)) {
  FTimer->SetEnabled(false);
  FTimer->SetOnTimer([this](QObject*) { NextFrame(); });
}

TFrameDriver::~TFrameDriver() {
  Stop();
}

void TFrameDriver::Start(const TGlobals& settings, const TFrameSurface& surface) {
  Pause();
  FAnimation.Preview = surface.Preview;
  FAnimation.Width = surface.Width;
  FAnimation.Height = surface.Height;
  FAnimation.Background = surface.Background;
  FAnimation.Target = surface.Target;
  FAnimation.MakeSurface = QtSurfaceFactory();
  FAnimation.TextFeed = nullptr;
  FFeed = MakeTextFeed(settings, ftBackground);
  FAnimation.TextFeed = FFeed.get();
  FAnimation.Init(settings);
  FRunning = true;
  if (!FClock.isValid()) FClock.start();
}

void TFrameDriver::Run(int32_t intervalMs) {
  Pause();
  if (!FRunning) return;
  if (intervalMs != 0) {
    FTimer->SetInterval(intervalMs);
    FTimer->SetEnabled(true);
  } else if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    // The loop is about to wait: give it the next frame to work on instead.
    FIdleHandler = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                           [this] { QCoreApplication::postEvent(this, new QEvent(kIdleFrame)); });
  }
}

void TFrameDriver::Pause() {
  FTimer->SetEnabled(false);
  if (FIdleHandler) disconnect(FIdleHandler);
  FIdleHandler = {};
}

void TFrameDriver::Stop() {
  Pause();
  if (!FRunning) return;
  FRunning = false;
  FAnimation.Done();
  FAnimation.Target = nullptr;
  FAnimation.TextFeed = nullptr;
  FFeed.reset();
  ReportFrameRate();
}

void TFrameDriver::NextFrame() {
  if (!FRunning) return;
  FAnimation.Step();
  FAnimation.Present();
  ++FFrames;
  if (AfterFrame) AfterFrame();
}

bool TFrameDriver::event(QEvent* event) {
  if (event->type() == kIdleFrame) {
    if (FIdleHandler) NextFrame();
    return true;
  }
  return QObject::event(event);
}

void TFrameDriver::ReportFrameRate() const {
  // For measuring, and as a sign of a clean end: LETTRANCE_FRAME_STATS=1
  // prints the frame rate when the animation stops.
  if (qEnvironmentVariableIsEmpty("LETTRANCE_FRAME_STATS") || !FClock.isValid()) return;
  const qint64 ms = std::max<qint64>(FClock.elapsed(), 1);
  std::fprintf(stderr, "lettrance: %d frames in %lld ms (%.1f frames per second)\n", FFrames,
               static_cast<long long>(ms), 1000.0 * FFrames / static_cast<double>(ms));
}
