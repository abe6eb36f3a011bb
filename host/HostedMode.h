#pragma once
// Hosted mode: a screen-saver host (XScreenSaver, xfce4-screensaver, MATE) or
// its settings tool made a window and asks us to draw into it. The host owns
// that window, the input grabs, locking and our lifetime: we draw into the
// whole window until it is destroyed or we get SIGTERM or SIGINT.

#include <QRect>
#include <optional>
#include <string>
#include <vector>

#include "host/LongOptions.h"
#include "platform/ScreenMetrics.h"

struct THosting {
  bool Hosted = false;
  // The window to draw into; 0 stands for the root window.
  platform::WindowId Window = 0;
  // Not empty when the request cannot be acted on (exit code 2).
  std::string Error;
};

// Which window, if any, the start options and the value of XSCREENSAVER_WINDOW
// (nullopt when unset) put us into. --window-id wins over the variable;
// --root takes the variable's window, else the root window; the variable
// alone hosts a start without a switch or with /s. An explicit /p, /c or /a
// keeps its own mode.
THosting DecideHosting(const TStartOptions& options, const std::optional<std::string>& variable);

// The screen the letters are placed on in a host's window, and whether the
// window shows it scaled down.
struct THostedPlane {
  platform::ScreenSize Screen;
  bool Preview = false;
};

// A window at least as wide and as high as the monitor it mostly lies on (the
// saver itself) is a screen of its own size. A smaller one (a settings tool's
// preview pane) is drawn as /p draws: letters placed on that monitor and
// scaled by the window's height over the monitor's. A window on no monitor
// counts as a screen of its own. Both in root coordinates, device pixels.
THostedPlane HostedPlane(const QRect& window, const std::vector<QRect>& monitors);

// Runs the animation with `settings` in `window` (0: the root window), laid
// out as HostedPlane says, until
// the window is destroyed or a SIGTERM or SIGINT arrives; returns the exit
// code. Needs the application object.
int RunHosted(platform::WindowId window, const TGlobals& settings);
