#include "host/PreviewLoop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <iostream>
#include <memory>

#include "host/CommandLine.h"
#include "host/FrameDriver.h"
#include "host/PreviewWindow.h"
#include "platform/DesktopSnapshot.h"

namespace {

int Fail(platform::WindowId window, const char* why) {
  std::cerr << "lettrance: preview window " << window << ' ' << why << std::endl;
  return PreviewWindowExitCode;
}

}  // namespace

int RunPreview(platform::WindowId window, platform::ForeignWindows& windows,
               const TGlobals& settings) {
  QElapsedTimer waiting;
  waiting.start();
  while (!windows.IsVisible(window)) {
    if (!windows.Exists(window)) return Fail(window, "does not exist");
    if (waiting.elapsed() > PreviewVisibleTimeoutMs) {
      return Fail(window, "did not become visible within 5 seconds");
    }
    QCoreApplication::processEvents();
    QThread::msleep(5);  // a short pause keeps the wait from spinning a core
  }
  const std::optional<platform::WindowRect> rect = windows.Rect(window);
  if (!rect) return Fail(window, "vanished");
  const QSize frame(rect->Right - rect->Left + 1, rect->Bottom - rect->Top + 1);

  const Picture desktop(platform::TakeDesktopSnapshot(frame));
  PreviewWindow view(window, frame);
  TFrameDriver driver;
  driver.Start(settings, TFrameSurface{frame.width(), frame.height(), true, &desktop, &view});
  // Until the host hides or destroys its window.
  QEventLoop loop;
  driver.AfterFrame = [&] {
    if (!windows.IsVisible(window)) loop.quit();
  };
  driver.Run(PreviewFrameMs);
  loop.exec();
  driver.Stop();
  return 0;
}
