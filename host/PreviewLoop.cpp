#include "host/PreviewLoop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <iostream>

#include "engine/AnimationUnit.h"
#include "host/PreviewWindow.h"
#include "host/ProgramEntry.h"
#include "platform/DesktopSnapshot.h"

namespace {

int Fail(platform::WindowId window, const char* why) {
  std::cerr << "lettrance: preview window " << window << ' ' << why << std::endl;
  return PreviewWindowExitCode;
}

}  // namespace

int RunPreview(platform::WindowId window, platform::ForeignWindows& windows) {
  PreviewWnd = window;
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

  DesktopBitmap = std::make_unique<Picture>(platform::TakeDesktopSnapshot(frame));
  PreviewWindow view(window, frame);
  SaverAni.Width = frame.width();
  SaverAni.Height = frame.height();
  SaverAni.Preview = true;
  SaverAni.Background = DesktopBitmap.get();
  SaverAni.MakeSurface = QtSurfaceFactory();
  SaverAni.Target = &view;
  SaverAni.Init();

  while (windows.IsVisible(window)) {
    SaverAni.Step();
    SaverAni.Present();
    QThread::msleep(20);
    QCoreApplication::processEvents();
  }

  SaverAni.Target = nullptr;
  DesktopBitmap.reset();
  SaverAni.Done();
  return 0;
}
