#include "host/HostedMode.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QRegion>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <iostream>

#include "engine/QtSurface.h"
#include "host/FrameDriver.h"
#include "platform/DesktopSnapshot.h"
#include "platform/ScreenMetrics.h"
#include "platform/TerminationSignals.h"
#include "platform/x11/Monitors.h"
#include "platform/x11/ScreensaverWindow.h"

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

THostedPlane HostedPlane(const QRect& window, const std::vector<QRect>& monitors) {
  const platform::ScreenSize own{std::max(window.width(), 1), std::max(window.height(), 1)};
  const QRect* home = nullptr;
  int64_t mostShared = 0;
  for (const QRect& monitor : monitors) {
    const QRect shared = monitor.intersected(window);
    const int64_t area = shared.isEmpty() ? 0 : int64_t{shared.width()} * shared.height();
    if (area > mostShared) {
      mostShared = area;
      home = &monitor;
    }
  }
  if (home == nullptr || (window.width() >= home->width() && window.height() >= home->height())) {
    return THostedPlane{own, false};
  }
  return THostedPlane{platform::ScreenSize{home->width(), home->height()}, true};
}

namespace {

// The animation in the host window, restarted when the window changes
// size.
class HostedSaver : public FrameTarget {
 public:
  HostedSaver(platform::ScreensaverWindow& window, const TGlobals& settings)
      : FWindow(window), FSettings(settings) {
    FDriver.AfterFrame = [this] { CheckWindow(); };
  }

  void Start() {
    const QSize size = FWindow.Size().expandedTo(QSize(1, 1));
    const THostedPlane plane = HostedPlane(FWindow.ScreenRect(), platform::MonitorsInPixels());
    platform::SetPrimaryScreenSize(plane.Screen);
    FDesktop = std::make_unique<Picture>(
        platform::ScaleSnapshot(QPixmap::fromImage(FWindow.HostScreenshot()), size));
    FDriver.Start(FSettings,
                  TFrameSurface{size.width(), size.height(), plane.Preview, FDesktop.get(), this});
    FDriver.Run(FSettings.TimerInterval);
  }

  void Stop() {
    FDriver.Stop();
    FDesktop.reset();
  }

  // Follows what the host did to its window.
  void CheckWindow() {
    const platform::ScreensaverWindow::TChanges changes = FWindow.Changes();
    if (changes.Destroyed) {
      Stop();
      QCoreApplication::quit();
    } else if (changes.NewSize && FDriver.Running()) {
      // Not from inside a frame: the timer is reset by the restart.
      QTimer::singleShot(0, &FDriver, [this] {
        if (FDriver.Running()) Start();
      });
    }
  }

  void ShowFrame(const QImage& frame, const QRegion& changed) override {
    FWindow.Show(frame, changed.boundingRect());
  }

 private:
  platform::ScreensaverWindow& FWindow;
  const TGlobals FSettings;
  std::unique_ptr<Picture> FDesktop;
  TFrameDriver FDriver;
};

}  // namespace

int RunHosted(platform::WindowId window, const TGlobals& settings) {
  platform::TerminationSignals endSignals;
  platform::ScreensaverWindow host(window);
  if (!host.Valid()) {
    std::cerr << "lettrance: window 0x" << std::hex << window << std::dec
              << " does not exist (or there is no X display)" << std::endl;
    return PreviewWindowExitCode;
  }
  HostedSaver saver(host, settings);
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
  // Hosts may destroy the window and send SIGTERM at once; the second word
  // must not turn this clean end into death by the signal.
  endSignals.IgnoreFromNowOn();
  saver.Stop();
  platform::SetPrimaryScreenSize(std::nullopt);
  return 0;
}
