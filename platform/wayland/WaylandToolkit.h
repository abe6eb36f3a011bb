#pragma once
// Whether Qt talks to a Wayland compositor. There a client cannot place its
// windows, read the screen or grab input for itself: full-screen surfaces go
// to an output by asking the compositor, and the desktop picture comes from
// the compositor's screen copy (grim).

namespace platform {

// True when the running QGuiApplication is on one of Qt's Wayland platforms.
bool ToolkitOnWayland();

}  // namespace platform
