#pragma once
// UTF-8 to code points for the animation: one letter is one code point.

#include <string>
#include <string_view>

// Decodes UTF-8; every byte that does not begin a well-formed sequence (stray
// continuation bytes, truncated or overlong sequences, surrogates, values above
// U+10FFFF) becomes one U+FFFD, so any input decodes without failing.
std::u32string DecodeUtf8(std::string_view text);
