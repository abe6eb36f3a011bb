#pragma once
// Program entry: reads the start mode from the command line, does the
// first-start work, keeps a second copy from running, takes the desktop
// snapshot and runs the mode's window or loop.

#include <memory>

#include "engine/QtSurface.h"
#include "host/CommandLine.h"
#include "platform/x11/ForeignWindow.h"

// Program-wide state of this run.
extern TRunMode RunMode;
extern std::unique_ptr<Picture> DesktopBitmap;  // the desktop as it was at start
extern platform::WindowId PreviewWnd;

// Exit codes besides 0, BadCommandLineExitCode and NoDisplayExitCode.
inline constexpr int PreviewWindowExitCode = 1;  // the preview window is missing

// Runs the program; returns its exit code.
int RunProgram(int argc, char** argv);
