#include "platform/TextFileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

TFileRead ReadFileStart(const std::string& path, size_t limit) {
  TFileRead result;
  // Non-blocking, so that opening a FIFO without a writer returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    result.Error = std::strerror(errno);
    return result;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    result.Error = std::strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    result.Error = "it is a folder";
  } else if (!S_ISREG(info.st_mode)) {
    result.Error = "it is not a regular file";
  } else {
    result.Bytes.resize(limit);
    size_t got = 0;
    while (got < limit) {
      const ssize_t n = ::read(fd, result.Bytes.data() + got, limit - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result.Error = std::strerror(errno);
        break;
      }
      if (n == 0) break;
      got += static_cast<size_t>(n);
    }
    result.Bytes.resize(got);
    result.Ok = result.Error.empty();
  }
  ::close(fd);
  return result;
}

}  // namespace platform
