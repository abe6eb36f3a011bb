#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {

std::string SingleInstanceFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  if (runtime != nullptr && runtime[0] == '/' && std::filesystem::is_directory(runtime, error)) {
    return runtime;
  }
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  return error ? std::string("/tmp") : temp.string();
}

SingleInstanceGuard::SingleInstanceGuard(const std::string& name)
    : FPath(SingleInstanceFolder() + "/" + name) {
  // O_NOFOLLOW: in a shared temporary folder a planted link must not make us
  // create or lock a file elsewhere. O_CLOEXEC: programs we start (a browser
  // for a web link) must not inherit the lock and keep holding it after us.
  FFile = open(FPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (FFile < 0) return;
  struct stat status {};
  // A file of another user in a shared folder is not our guard: whoever owns
  // it could keep our program from starting.
  if (fstat(FFile, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid()) {
    close(FFile);
    FFile = -1;
    return;
  }
  int result;
  do {
    result = flock(FFile, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    FState = TState::Held;
    return;
  }
  FState = errno == EWOULDBLOCK ? TState::OtherCopyRuns : TState::Unavailable;
  close(FFile);
  FFile = -1;
}

SingleInstanceGuard::~SingleInstanceGuard() {
  // Closing drops the lock; the file stays for the next start.
  if (FFile >= 0) close(FFile);
}

}  // namespace platform
