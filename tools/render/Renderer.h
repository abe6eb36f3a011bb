#pragma once
// lettrance-render's work: frames or a contact sheet from the animation,
// written as PNG files. Needs a QGuiApplication (the offscreen platform will
// do).

#include <iosfwd>

#include "tools/render/RenderOptions.h"

// Runs with parsed, valid options; reports problems on `errors` and returns
// one of the RenderExit codes.
int RunRenderer(const RenderOptions& options, std::ostream& errors);

// The whole program after the QGuiApplication exists: parses the arguments
// after the program name, prints help or errors, and renders.
int RenderMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors);
