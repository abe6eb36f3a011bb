#pragma once
// Black windows over every monitor but the primary one, for the full-screen
// saver: the animation runs on the primary screen, the others go dark, and
// input on any of them reaches the saver window as if given there.

#include <QWidget>
#include <memory>
#include <vector>

// Puts `window` (a top-level window not shown yet) over the monitor `area`,
// in device-independent pixels, without frame or gaps: its geometry on X11;
// on Wayland, where a client cannot place its windows, a full-screen surface
// on the output there.
void CoverMonitor(QWidget& window, const QRect& area);

class MonitorCover {
 public:
  // One black window over each of `monitors`, shown at once; gone with this
  // object.
  MonitorCover(QWidget& saver, const std::vector<QRect>& monitors);
  ~MonitorCover();
  MonitorCover(const MonitorCover&) = delete;
  MonitorCover& operator=(const MonitorCover&) = delete;

  // The cover windows, one per monitor other than the primary.
  const std::vector<std::unique_ptr<QWidget>>& Windows() const { return FWindows; }

 private:
  std::vector<std::unique_ptr<QWidget>> FWindows;
};
