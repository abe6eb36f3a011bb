#pragma once
// The start mode and its window, read from the command line the desktop's
// screen-saver machinery (or the user) starts the program with.

#include <optional>
#include <string>
#include <vector>

#include "platform/x11/ForeignWindow.h"

enum TRunMode {
  rmChangePassword = 0,  // let the platform change the password, then end
  rmPreview = 1,         // draw into the window given by its id
  rmConfigure = 2,       // the setup dialog
  rmRun = 3,             // the full-screen saver
};

struct TCommandLine {
  TRunMode RunMode = rmRun;
  // The window given after A (parent of the password dialog) or P (preview).
  platform::WindowId Window = 0;
  // Not empty when the command line cannot be acted on: the message to show
  // before ending with BadCommandLineExitCode.
  std::string Error;
};

// Exit codes besides 0 and NoDisplayExitCode.
inline constexpr int PreviewWindowExitCode = 1;  // the window to draw into is missing
inline constexpr int BadCommandLineExitCode = 2;

// `arguments` are those after the program's name; only the first two count.
// The first selects the mode by its first letter (case ignored) after one
// leading '/' or '-': A, P, C, nothing (or no argument), anything else runs
// the saver. After A and P the second must be a window id.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);
TCommandLine ParseCommandLine(int argc, const char* const* argv);

// A 32-bit X11 window id, decimal or hexadecimal after "0x"; no sign or spaces.
std::optional<platform::WindowId> ParseWindowId(const std::string& text);
