#pragma once
// The text of a freedesktop menu entry that starts a program.

#include <optional>
#include <string>
#include <vector>

// One argument of an Exec line: quoted (with \ " ` $ escaped) when it holds a
// character the command-line rules reserve, and every % doubled.
std::string QuoteExecArgument(const std::string& argument);

// A value of string type: backslash, newline, tab and carriage return written
// as escapes, and a leading space as \s so that readers keep it.
std::string EscapeEntryValue(const std::string& value);

// The complete entry: Type, Name, Exec (target and arguments), Path (the
// target's folder), Icon and Categories. Empty when a text cannot be written
// into an entry (not UTF-8, or holding other control characters than line
// breaks and tabs).
std::optional<std::string> DesktopEntryText(const std::string& name, const std::string& targetPath,
                                            const std::vector<std::string>& arguments);
