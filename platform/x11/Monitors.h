#pragma once
// Where the monitors are, in the toolkit's device-independent coordinates.

#include <QRect>
#include <vector>

namespace platform {

// Every monitor but the primary screen. Qt's screens as a rule; when the
// server's Xinerama heads outnumber them (Xinerama spanning several X screens
// leaves RandR reporting only the first), the heads, as XScreenSaver also
// believes them then. Needs a QGuiApplication.
std::vector<QRect> OtherMonitors();

// The rectangles of `monitors` that are not `primary`; duplicates (mirrored
// monitors) count once. Exposed for tests.
std::vector<QRect> WithoutPrimary(const std::vector<QRect>& monitors, const QRect& primary);

// The monitors of the default display in root-window coordinates and device
// pixels, as the X server itself reports them to clients such as a host's
// window: the Xinerama heads, or the whole screen when there are none. Empty
// without a display. Needs no application object.
std::vector<QRect> MonitorsInPixels();

}  // namespace platform
