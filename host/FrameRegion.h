#pragma once
// Showing part of a frame in a window. Frames are in device pixels; windows
// are laid out in device-independent ones (Qt scales for high DPI).

#include <QImage>
#include <QPainter>
#include <QRegion>

// The window area (device-independent pixels) that covers `changed` (frame
// pixels) at device pixel ratio `ratio`.
QRegion FramePixelsToWindow(const QRegion& changed, qreal ratio);

// Copies the parts of `frame` under `area` (device-independent pixels) into
// the window, pixel for pixel.
void PaintFrame(QPainter& painter, const QImage& frame, const QRegion& area, qreal ratio);
