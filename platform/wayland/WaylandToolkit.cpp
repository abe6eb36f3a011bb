#include "platform/wayland/WaylandToolkit.h"

#include <QGuiApplication>

namespace platform {

bool ToolkitOnWayland() {
  // "wayland", "wayland-egl", "wayland-brcm": all the Wayland plugin.
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
         QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace platform
