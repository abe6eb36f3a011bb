#pragma once
// What the hosts' options file and the manual page say about the settings,
// made from the settings table when the program is built.

#include <string>

// The options file's controls: an <hgroup> of sliders and text fields on the
// left, check boxes and menus on the right (XScreenSaver's format).
std::string OptionsFileControls();

// The manual page's entries (roff) for the options of the settings.
std::string ManualPageOptions();

// `text` with every `marker` replaced by `replacement`.
std::string ReplaceMarker(std::string text, const std::string& marker,
                          const std::string& replacement);
