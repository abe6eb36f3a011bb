#include "host/HostedMode.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QRegion>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <iostream>

#include "engine/AnimationUnit.h"
#include "engine/QtSurface.h"
#include "host/ProgramEntry.h"
#include "host/XAdvTimerComp.h"
#include "platform/DesktopSnapshot.h"
#include "platform/ScreenMetrics.h"
#include "platform/x11/ScreensaverWindow.h"
#include "platform/TerminationSignals.h"
#include "settings/GlobalsUnit.h"

THosting DecideHosting(const TStartOptions& options, const std::optional<std::string>& variable) {
  THosting result;
  const bool windowAsked = options.WindowIdOption.has_value() || options.Root;
  const bool otherMode = options.ModeGiven && options.Mode.RunMode != rmRun;
  if (otherMode) {
    if (windowAsked) result.Error = "--window-id and --root go with /s or no switch at all";
    return result;
  }
  if (options.WindowIdOption) {
    result.Hosted = true;
    result.Window = *options.WindowIdOption;
    return result;
  }
  const bool inHost = variable.has_value() && !variable->empty();
  if (!inHost) {
    result.Hosted = options.Root;  // the root window
    return result;
  }
  const std::optional<platform::WindowId> window = ParseWindowId(*variable);
  if (!window || *window == 0) {
    result.Error = "XSCREENSAVER_WINDOW=\"" + *variable + "\" is not an X11 window id";
    return result;
  }
  result.Hosted = true;
  result.Window = *window;
  return result;
}

namespace {

// The animation at the host window's size, one frame per TimerInterval (or
// whenever the loop is idle for 0), restarted when the window changes size.
class HostedSaver : public QObject, public FrameTarget {
 public:
  explicit HostedSaver(platform::ScreensaverWindow& window)
      : FWindow(window), FTimer(new TAdvTimer(this)) {
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer([this](QObject*) { NextFrame(); });
    FIdle.setInterval(0);
    connect(&FIdle, &QTimer::timeout, this, &HostedSaver::NextFrame);
  }
  ~HostedSaver() override { Stop(); }

  void Start() {
    StopFrames();
    const QSize size = FWindow.Size().expandedTo(QSize(1, 1));
    // The window is the screen: letters are placed as on a screen of its size.
    platform::SetPrimaryScreenSize(platform::ScreenSize{size.width(), size.height()});
    DesktopBitmap = std::make_unique<Picture>(
        platform::ScaleSnapshot(QPixmap::fromImage(FWindow.HostScreenshot()), size));
    SaverAni.Preview = false;
    SaverAni.Width = size.width();
    SaverAni.Height = size.height();
    SaverAni.Background = DesktopBitmap.get();
    SaverAni.MakeSurface = QtSurfaceFactory();
    SaverAni.Target = this;
    SaverAni.Init();
    FRunning = true;
    if (!FClock.isValid()) FClock.start();
    if (Globals.TimerInterval != 0) {
      FTimer->SetInterval(Globals.TimerInterval);
      FTimer->SetEnabled(true);
    } else {
      FIdle.start();
    }
  }

  void Stop() {
    if (!FRunning) return;
    FRunning = false;
    StopFrames();
    SaverAni.Target = nullptr;
    SaverAni.Done();
    DesktopBitmap.reset();
    ReportFrameRate();
  }

  // Follows what the host did to its window.
  void CheckWindow() {
    const platform::ScreensaverWindow::TChanges changes = FWindow.Changes();
    if (changes.Destroyed) {
      Stop();
      QCoreApplication::quit();
    } else if (changes.NewSize && FRunning) {
      // Not from inside a frame: the timer is reset by the restart.
      QTimer::singleShot(0, this, [this] {
        if (FRunning) Start();
      });
    }
  }

  void ShowFrame(const QImage& frame, const QRegion& changed) override {
    FWindow.Show(frame, changed.boundingRect());
  }

 private:
  void StopFrames() {
    FTimer->SetEnabled(false);
    FIdle.stop();
  }

  void NextFrame() {
    if (!FRunning) return;
    SaverAni.Step();
    SaverAni.Present();
    ++FFrames;
    CheckWindow();
  }

  // For measuring, and as a sign of a clean end: LETTRANCE_FRAME_STATS=1
  // prints the frame rate when the saver stops.
  void ReportFrameRate() const {
    if (qEnvironmentVariableIsEmpty("LETTRANCE_FRAME_STATS") || !FClock.isValid()) return;
    const qint64 ms = std::max<qint64>(FClock.elapsed(), 1);
    std::fprintf(stderr, "lettrance: %d frames in %lld ms (%.1f frames per second)\n", FFrames,
                 static_cast<long long>(ms), 1000.0 * FFrames / static_cast<double>(ms));
  }

  platform::ScreensaverWindow& FWindow;
  TAdvTimer* const FTimer;
  QTimer FIdle;
  bool FRunning = false;
  int FFrames = 0;
  QElapsedTimer FClock;
};

}  // namespace

int RunHosted(platform::WindowId window) {
  platform::TerminationSignals endSignals;
  platform::ScreensaverWindow host(window);
  if (!host.Valid()) {
    std::cerr << "lettrance: window 0x" << std::hex << window << std::dec
              << " does not exist (or there is no X display)" << std::endl;
    return PreviewWindowExitCode;
  }
  // Like previews, hosted starts are not counted and never migrate the
  // settings: they show the stored settings as they are and write nothing.
  StoredVersion = ProgramVersion;

  HostedSaver saver(host);
  QSocketNotifier stop(endSignals.Fd(), QSocketNotifier::Read);
  QObject::connect(&stop, &QSocketNotifier::activated, [&] {
    if (endSignals.Arrived()) {
      saver.Stop();
      QCoreApplication::quit();
    }
  });
  QSocketNotifier news(host.ConnectionFd(), QSocketNotifier::Read);
  QObject::connect(&news, &QSocketNotifier::activated, [&] { saver.CheckWindow(); });

  saver.Start();
  QCoreApplication::exec();
  saver.Stop();
  platform::SetPrimaryScreenSize(std::nullopt);
  return 0;
}
