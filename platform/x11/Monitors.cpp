#include "platform/x11/Monitors.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "platform/x11/XConnection.h"

// After Qt's headers: Xlib defines macros (Bool, Status) that Qt's use.
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>

namespace platform {
namespace {

// Xinerama heads in device pixels; empty without the extension.
std::vector<QRect> XineramaHeads(Display* display) {
  std::vector<QRect> heads;
  int count = 0;
  if (XineramaIsActive(display)) {
    if (XineramaScreenInfo* info = XineramaQueryScreens(display, &count)) {
      for (int i = 0; i < count; ++i) {
        heads.emplace_back(info[i].x_org, info[i].y_org, info[i].width, info[i].height);
      }
      XFree(info);
    }
  }
  return heads;
}

// The same on a connection of its own; empty without a display.
std::vector<QRect> XineramaHeads() {
  const XConnection connection;
  if (connection.Handle() == nullptr) return {};
  return XineramaHeads(connection.Handle());
}

}  // namespace

std::vector<QRect> WithoutPrimary(const std::vector<QRect>& monitors, const QRect& primary) {
  std::vector<QRect> others;
  for (const QRect& monitor : monitors) {
    if (monitor == primary || std::find(others.begin(), others.end(), monitor) != others.end()) {
      continue;
    }
    others.push_back(monitor);
  }
  return others;
}

std::vector<QRect> OtherMonitors() {
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return {};
  std::vector<QRect> monitors;
  for (const QScreen* screen : QGuiApplication::screens()) monitors.push_back(screen->geometry());
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    const std::vector<QRect> heads = XineramaHeads();
    if (heads.size() > monitors.size()) {
      const qreal ratio = primary->devicePixelRatio();
      monitors.clear();
      for (const QRect& head : heads) {
        monitors.emplace_back(static_cast<int>(std::lround(head.x() / ratio)),
                              static_cast<int>(std::lround(head.y() / ratio)),
                              static_cast<int>(std::lround(head.width() / ratio)),
                              static_cast<int>(std::lround(head.height() / ratio)));
      }
    }
  }
  return WithoutPrimary(monitors, primary->geometry());
}

std::vector<QRect> MonitorsInPixels() {
  const XConnection connection;
  Display* display = connection.Handle();
  if (display == nullptr) return {};
  std::vector<QRect> monitors = XineramaHeads(display);
  if (monitors.empty()) {
    const int screen = DefaultScreen(display);
    monitors.emplace_back(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
  }
  return monitors;
}

}  // namespace platform
