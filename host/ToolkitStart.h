#pragma once
// Starting the window toolkit without its abort: when the display cannot be
// opened the program says so in one line and ends with its own exit code.

#include <QApplication>
#include <memory>

inline constexpr int NoDisplayExitCode = 4;

// The application object. When the toolkit cannot reach the window system,
// prints "lettrance: cannot open the display ..." on stderr and ends the
// process with NoDisplayExitCode instead.
std::unique_ptr<QApplication> StartToolkit(int& argc, char** argv);

// The one-line message for a display that cannot be opened, from the value of
// DISPLAY (null when it is not set).
std::string NoDisplayMessage(const char* display);
