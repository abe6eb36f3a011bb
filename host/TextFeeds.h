#pragma once
// The feeds of the text lines: a file read again, or a shell command run
// again, at the start of every cycle. What goes wrong is said once on stderr
// and the last good text stays on screen.

#include <memory>

#include "engine/TextFeed.h"
#include "settings/GlobalsUnit.h"

// A program may take this long; then it is ended, its children with it.
inline constexpr int kTextProgramLimitMs = 10000;

// ftBackground: the saver's frames never wait, a text is taken when it has
// come. ftWait: each text is waited for (a tool that must give the same
// pictures each time).
enum TFeedTiming { ftBackground, ftWait };

// The feed the settings ask for; none for the stored text. A program gets
// `limitMs` milliseconds for each text.
std::unique_ptr<TTextFeed> MakeTextFeed(const TGlobals& settings, TFeedTiming timing,
                                        int limitMs = kTextProgramLimitMs);
