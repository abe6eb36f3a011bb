#pragma once
// The live preview inside another program's window (the display settings'
// little monitor): frames every 20 ms for as long as that window is visible.

#include "platform/x11/ForeignWindow.h"
#include "settings/GlobalsUnit.h"

// Longest wait for the host window to become visible.
inline constexpr int PreviewVisibleTimeoutMs = 5000;

// Frames of the preview come this often.
inline constexpr int PreviewFrameMs = 20;

// Runs the preview with `settings` into `window`; returns the program's exit
// code: 0 when the window was hidden or destroyed, 1 when it does not exist
// or never became visible (with a message on stderr).
int RunPreview(platform::WindowId window, platform::ForeignWindows& windows,
               const TGlobals& settings);
