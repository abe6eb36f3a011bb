#pragma once
// Writing a whole file so that readers see either the old or the new content,
// never a part of it.

#include <sys/types.h>

#include <string>

namespace platform {

// Writes `content` to a fresh file beside `path` (created with `mode`, less
// the umask), flushes it to disk and renames it over `path`. On failure `path`
// is unchanged, nothing is left behind, and the result is false.
bool ReplaceFileAtomically(const std::string& path, const std::string& content, mode_t mode);

}  // namespace platform
