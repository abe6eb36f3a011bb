#pragma once
// Program entry: reads the start mode from the command line, does the
// first-start work, keeps a second copy from running, takes the desktop
// snapshot and runs the mode's window or loop.

// Runs the program; returns its exit code.
int RunProgram(int argc, char** argv);
