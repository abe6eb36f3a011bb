#pragma once
// Starting the window toolkit without its abort: when the display cannot be
// opened the program says so in one line and ends with its own exit code.

#include <QApplication>
#include <memory>
#include <string>
#include <string_view>

inline constexpr int NoDisplayExitCode = 4;

// The application object. When the toolkit cannot reach the window system,
// prints "lettrance: cannot open the display ..." on stderr and ends the
// process with NoDisplayExitCode instead. The toolkit's other messages of
// the start follow on stderr, but `hosted` leaves out those that tell a user
// of a screen-saver host nothing (ToldNothingInHost).
std::unique_ptr<QApplication> StartToolkit(int& argc, char** argv, bool hosted);

// Whether a message of the toolkit's start says nothing to a user when we
// run inside a screen-saver host. Hosts start their savers without
// XDG_RUNTIME_DIR, and the toolkit then reports falling back to a private
// folder of its own; it asks only to look for a sandbox marker there, and a
// hosted copy needs no runtime folder (it takes no single-instance lock).
// Warnings that the folder is unsafe still reach the user.
bool ToldNothingInHost(std::string_view message);

// The one-line message for a display that cannot be opened, from the value of
// DISPLAY (null when it is not set).
std::string NoDisplayMessage(const char* display);
