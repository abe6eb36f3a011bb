#pragma once
// Lines that come from somewhere else than the stored text: a file read
// again, or a program run again, each cycle. The animation asks for the next
// text when it starts a cycle and takes what has come when it starts a pass;
// it never waits for it.

#include <optional>
#include <string>

class TTextFeed {
 public:
  virtual ~TTextFeed() = default;
  // Text that has come since the last call, made safe to show and not
  // empty (lines separated by carriage returns); nullopt when none has.
  virtual std::optional<std::string> FreshText() = 0;
  // A cycle starts: fetch the text for the next one.
  virtual void CycleStarted() = 0;
};

// Bytes from a file or a program made safe to show: at most kFedTextLimit of
// them; UTF-8, or Latin-1 when they are not valid UTF-8; lines split at LF,
// CR LF and CR; tabs as spaces; terminal escape sequences and other control
// characters dropped; blank lines left out. The lines are joined with
// carriage returns, as the stored text is.
inline constexpr size_t kFedTextLimit = 64 * 1024;
std::string SafeFedText(std::string_view bytes);
