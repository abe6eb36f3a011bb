#pragma once
// Command line of lettrance-render, the headless frame renderer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RenderOptions {
  int32_t Width = 1280;
  int32_t Height = 720;
  int32_t Frames = 100;
  int32_t Every = 1;
  std::vector<int32_t> Effects;            // enabled effects; empty keeps the settings' choice
  std::vector<std::string> Texts;          // one line each; empty keeps the settings' text
  std::optional<std::string> TextFile;     // lines read from this file each cycle
  std::optional<std::string> TextProgram;  // lines this shell command prints, each cycle
  std::optional<std::string> Font;
  std::optional<int32_t> FontSize;
  std::optional<int32_t> Speed;
  std::optional<std::string> Desktop;  // background picture; turns DesktopFlag on
  std::optional<uint64_t> Seed;
  std::string OutDir = ".";
  std::optional<std::string> Sheet;  // contact sheet instead of frames
  bool UseSettings = false;          // start from the stored settings
  bool Help = false;
};

// Exit codes of the program.
enum RenderExit : int {
  kExitOk = 0,
  kExitUsage = 1,      // unknown option or bad value
  kExitBadInput = 2,   // the background picture cannot be read
  kExitBadOutput = 3,  // a folder or file cannot be written
};

struct ParsedOptions {
  RenderOptions Options;
  std::string Error;  // empty when the command line is valid
};

// Parses the arguments after the program name. Options take their value as
// the next argument or after "=" ("--size 640x480", "--size=640x480").
ParsedOptions ParseRenderOptions(const std::vector<std::string>& args);

// Effect index for a name (any case; "Near & Far" and "Near && Far" alike) or
// an index 0..19; nullopt when there is none.
std::optional<int32_t> EffectFromName(const std::string& text);

std::string RenderHelpText();
