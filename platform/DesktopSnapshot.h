#pragma once
// A picture of the whole desktop, taken at start as the saver's background.

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <functional>

namespace platform {

// `grab` stretched to `target` device pixels (at least 1 x 1), opaque, with a
// device pixel ratio of 1. An empty grab (no screen, or a display server that
// does not allow grabbing) gives black.
QImage ScaleSnapshot(const QPixmap& grab, QSize target);
QImage ScaleSnapshot(const QImage& grab, QSize target);

// Starts grabbing the primary screen as it is now; the function gives the
// picture stretched to `target` device pixels (black when it could not be
// grabbed), waiting for it on the first call. The first call must come while
// the toolkit still runs. Needs a QGuiApplication. On Wayland the picture is
// taken before this returns (within a second), as our own surfaces would be
// in it otherwise; why it is black, if it is, goes to stderr on the first call.
std::function<QImage()> StartDesktopSnapshot(QSize target);

// The primary screen grabbed and stretched to `target` device pixels; black
// when it cannot be grabbed. Needs a QGuiApplication.
QImage TakeDesktopSnapshot(QSize target);

}  // namespace platform
