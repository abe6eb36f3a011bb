#include "platform/wayland/WaylandWindows.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include "platform/wayland/WaylandToolkit.h"

namespace platform {

void ResendCursor(QWindow& window) {
  if (!ToolkitOnWayland()) return;
  // Qt drops a cursor equal to the one it holds: another shape first.
  const QCursor cursor = window.cursor();
  window.setCursor(cursor.shape() == Qt::ArrowCursor ? Qt::BlankCursor : Qt::ArrowCursor);
  window.setCursor(cursor);
}

void AskForFocus(QWindow& window) {
  if (!ToolkitOnWayland()) return;
  // The compositor honours the request only once the surface shows, a
  // moment after Qt reports it shown.
  constexpr int kTries = 40;
  constexpr int kIntervalMs = 50;
  auto* retry = new QTimer(&window);
  retry->setInterval(kIntervalMs);
  QObject::connect(retry, &QTimer::timeout, &window, [&window, retry, tries = 0]() mutable {
    if (QGuiApplication::focusWindow() == &window || !window.isVisible() || ++tries > kTries) {
      retry->stop();
      retry->deleteLater();
      return;
    }
    window.requestActivate();
  });
  window.requestActivate();
  retry->start();
}

}  // namespace platform
