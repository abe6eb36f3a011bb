#include "platform/x11/ToolkitX11.h"

#include <QGuiApplication>

namespace platform {
namespace {

QNativeInterface::QX11Application* ToolkitX11() {
  return qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
}

}  // namespace

xcb_connection_t* ToolkitXcbConnection() {
  auto* x11 = ToolkitX11();
  return x11 == nullptr ? nullptr : x11->connection();
}

_XDisplay* ToolkitXlibDisplay() {
  auto* x11 = ToolkitX11();
  return x11 == nullptr ? nullptr : x11->display();
}

}  // namespace platform
