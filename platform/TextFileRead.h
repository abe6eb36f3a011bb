#pragma once
// Reads the start of a text file for the screen: never waits on something
// that is not a regular file (a FIFO, a device), never reads more than asked.

#include <cstddef>
#include <string>

namespace platform {

struct TFileRead {
  bool Ok = false;
  std::string Bytes;  // at most the limit
  std::string Error;  // why nothing could be read, for the user
};

TFileRead ReadFileStart(const std::string& path, size_t limit);

}  // namespace platform
