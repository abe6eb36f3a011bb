#include "platform/registry/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string_view>

#include "platform/PathParts.h"

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// A new, hidden file in the same folder (a rename only replaces atomically
// within one file system). O_EXCL keeps it ours; the umask applies to `mode`.
int CreateTemporary(const std::string& path, mode_t mode, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  const std::string stem =
      FolderOf(path) + "/." + FileNameOf(path) + ".tmp-" + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = stem + std::to_string(counter.fetch_add(1));
    const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& content, mode_t mode) {
  if (path.empty() || path.back() == '/') return false;
  std::string tempPath;
  const int fd = CreateTemporary(path, mode, tempPath);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, content) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(tempPath.c_str(), path.c_str()) != 0) {
    unlink(tempPath.c_str());
    return false;
  }
  SyncFolder(FolderOf(path));  // make the rename itself durable
  return true;
}

}  // namespace platform
