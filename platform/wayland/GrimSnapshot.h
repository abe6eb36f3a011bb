#pragma once
// The desktop picture on Wayland: a client cannot read the screen there, but
// compositors with the wlroots screen-copy protocol (sway, Hyprland, ...) let
// grim copy an output. grim is an optional package; without it, or where the
// compositor refuses, the saver draws over black.

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <chrono>
#include <string>

namespace platform {

struct TGrimPicture {
  // Stretched to the target size, opaque; black when grim gave nothing.
  QImage Picture;
  // Why Picture is black, for the user ("grim is not installed", ...); empty
  // when grim's picture is there.
  std::string Problem;
};

// Runs `program` (grim) for the output named `output` (its layout rectangle
// `area` when the name is unknown) and waits for it no longer than `limit`:
// a grim that takes longer is ended and counts as failed.
TGrimPicture TakeGrimPicture(const QString& program, const QString& output, const QRect& area,
                             QSize target, std::chrono::milliseconds limit);

}  // namespace platform
