#pragma once
// Starting the window toolkit without its abort: when the display cannot be
// opened the program says so in one line and ends with its own exit code.

#include <QApplication>
#include <memory>
#include <string>
#include <string_view>

inline constexpr int NoDisplayExitCode = 4;

// The one-line message for a display that cannot be opened, from the value of
// DISPLAY (null when it is not set).
std::string NoDisplayMessage(const char* display);

// What a start needs of the window system.
enum TToolkitUse {
  tuOwnWindows,  // dialogs of our own (/c, the about box): wherever Qt runs
  tuFullScreen,  // the saver (/s): native Wayland in a Wayland session
  tuPreview,     // /p: draws into another program's X11 window
  tuHosted,      // --window-id, --root, XSCREENSAVER_WINDOW: the same
};

// The session's displays: the values of WAYLAND_DISPLAY, DISPLAY and
// QT_QPA_PLATFORM, empty when unset.
struct TSessionDisplays {
  std::string Wayland;
  std::string X11;
  std::string QtPlatform;
};

struct TToolkitPlatform {
  // QT_QPA_PLATFORM to set before the toolkit starts; empty leaves it as it is.
  std::string Platform;
  // Not empty when this use cannot run in this session (NoDisplayExitCode).
  std::string Error;
};

// The Qt platform for `use` in `session`. A platform the user chose is kept.
// Otherwise the saver goes native in a Wayland session even when XWayland
// offers X11 too (full screen on every output and the compositor's own idle
// handling need it), and the X11 hosts keep X11 wherever it is.
TToolkitPlatform ChooseToolkitPlatform(TToolkitUse use, const TSessionDisplays& session);

// The session's displays of this process's environment.
TSessionDisplays CurrentSessionDisplays();

// The application object on the platform that `use` needs in this session
// (QT_QPA_PLATFORM is set for it, and so for our child processes too). Null,
// with the reason on stderr, when this session cannot serve `use`. When the
// toolkit cannot reach the window system, prints "lettrance: cannot open the
// display ..." on stderr and ends the process with NoDisplayExitCode instead.
// The toolkit's other messages of the start follow on stderr, but a hosted
// copy leaves out those that tell a user of a screen-saver host nothing.
std::unique_ptr<QApplication> StartToolkit(int& argc, char** argv, TToolkitUse use);

// Whether a message of the toolkit's start says nothing to a user when we
// run inside a screen-saver host. Hosts start their savers without
// XDG_RUNTIME_DIR, and the toolkit then reports falling back to a private
// folder of its own; it asks only to look for a sandbox marker there, and a
// hosted copy needs no runtime folder (it takes no single-instance lock).
// Warnings that the folder is unsafe still reach the user.
bool ToldNothingInHost(std::string_view message);
