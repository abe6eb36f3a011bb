#include "platform/registry/HiveFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <vector>

#include "platform/PathParts.h"
#include "platform/registry/RegFileFormat.h"

namespace platform {
namespace {

constexpr off_t kMaxFileSize = 64 * 1024 * 1024;
constexpr int kMaxLinkHops = 40;  // as the kernel allows

std::string ErrnoText(int error = errno) {
  return std::strerror(error);
}

// What a non-regular file is, for messages.
std::string KindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

// The file that writes go to: `path` with its symbolic links followed, also
// to a target that does not exist yet. False (with errno set) for a loop.
bool WriteTarget(const std::string& path, std::string& target) {
  target = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = readlink(target.c_str(), link.data(), link.size());
    if (n < 0) return false;
    link.resize(static_cast<size_t>(n));
    target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
  }
  errno = ELOOP;
  return false;
}

// A file or folder counts as writable only when the system lets us write it
// and it still carries a write permission bit: a hive the user marked
// read-only stays read-only even for root.
bool WritableEntry(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  return access(path.c_str(), W_OK) == 0 && (st.st_mode & 0222) != 0;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty() || folder == "/" || folder == ".") return true;
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (!MakeFolders(FolderOf(folder))) return false;
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

int TakeLock(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) return -1;
  while (flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      close(fd);
      return -1;
    }
  }
  return fd;
}

std::string TemporaryPrefix(const std::string& target) {
  return target + ".tmp-";
}

// Temporary copies are only written under the writer lock, so any found while
// holding it were left by a writer that was killed: remove them.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string prefix = FileNameOf(TemporaryPrefix(target));
  DIR* folder = opendir(FolderOf(target).c_str());
  if (folder == nullptr) return;
  std::vector<std::string> stale;
  while (const dirent* entry = readdir(folder)) {
    if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) {
      stale.push_back(FolderOf(target) + "/" + entry->d_name);
    }
  }
  closedir(folder);
  for (const std::string& file : stale) unlink(file.c_str());
}

// A new file beside `target`, created with 0666 less the umask (the mode a
// new settings file should have).
int CreateTemporary(const std::string& target, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = TemporaryPrefix(target) + std::to_string(getpid()) + "-" + std::to_string(++counter);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool HiveFile::Stamp::operator==(const Stamp& other) const {
  return exists == other.exists && error == other.error && mode == other.mode &&
         device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

HiveFile::HiveFile(std::string path, Reporter report)
    : FPath(std::move(path)), FReport(std::move(report)) {
  if (!FReport) FReport = [](const std::string& message) { std::cerr << message << std::endl; };
}

HiveFile::~HiveFile() {
  if (FLockFd >= 0) close(FLockFd);
}

HiveFile::Stamp HiveFile::StampOf(const std::string& path) {
  Stamp stamp;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) stamp.error = errno;
    return stamp;
  }
  stamp.exists = true;
  stamp.mode = st.st_mode;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.modified = st.st_mtim;
  return stamp;
}

const RegHive& HiveFile::Current() {
  ReloadIfChanged();
  return FHive;
}

void HiveFile::ReportUnusable(const std::string& why) {
  FUnreadable = true;
  FReport("lettrance: cannot use the settings file " + FPath + ": " + why +
          "; using defaults and leaving it untouched");
}

void HiveFile::ReloadIfChanged() {
  const Stamp stamp = StampOf(FPath);
  if (FLoaded && stamp == FStamp) return;
  FLoaded = true;
  FStamp = stamp;
  ++FGeneration;
  FHive = RegHive();
  FBroken = false;
  FUnreadable = false;
  if (stamp.error != 0) return ReportUnusable(ErrnoText(stamp.error));
  if (!stamp.exists) return;
  // Looked at before opening: opening a FIFO for reading would wait for a
  // writer for ever.
  if (!S_ISREG(stamp.mode)) return ReportUnusable("it is " + KindOf(stamp.mode));
  ReadFile();
}

void HiveFile::ReadFile() {
  // Non-blocking too, in case the path was replaced since it was looked at.
  const int fd = open(FPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ReportUnusable(ErrnoText());
  struct stat st;
  std::string unusable;
  if (fstat(fd, &st) != 0) {
    unusable = ErrnoText();
  } else if (!S_ISREG(st.st_mode)) {
    unusable = "it is " + KindOf(st.st_mode);
  } else if (st.st_size > kMaxFileSize) {
    unusable = "it is larger than 64 MiB";
  }
  if (!unusable.empty()) {
    close(fd);
    return ReportUnusable(unusable);
  }
  std::string text;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      return ReportUnusable(ErrnoText(error));
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  close(fd);

  RegParseResult parsed = ParseRegFile(text);
  FHive = std::move(parsed.hive);
  if (!parsed.errors.empty()) {
    FBroken = true;
    const RegParseError& first = parsed.errors.front();
    std::string message =
        "lettrance: " + FPath + ":" + std::to_string(first.line) + ": " + first.message;
    if (const size_t more = parsed.errors.size() - 1; more > 0) {
      message +=
          " (and " + std::to_string(more) + (more == 1 ? " more problem)" : " more problems)");
    }
    message += "; using what could be read. The file will be kept aside as " + FPath +
               ".broken-<time> before new settings are written.";
    FReport(message);
  }
}

bool HiveFile::Writable() const {
  if (FUnreadable) return false;  // writing would lose what we could not read
  std::string target;
  if (!WriteTarget(FPath, target)) return false;
  if (FStamp.exists) return WritableEntry(target) && WritableEntry(FolderOf(target));
  std::string folder = FolderOf(target);
  struct stat st;
  while (stat(folder.c_str(), &st) != 0 && folder != "/" && folder != ".") {
    folder = FolderOf(folder);
  }
  return WritableEntry(folder);
}

RegAccess HiveFile::Grantable(std::string_view) {
  ReloadIfChanged();
  return Writable() ? KEY_ALL_ACCESS : KEY_READ;
}

bool HiveFile::LockWriters() {
  if (FLockFd >= 0) return true;
  if (!MakeFolders(FolderOf(FPath))) {
    FReport("lettrance: cannot create the settings folder " + FolderOf(FPath) + ": " + ErrnoText());
    return false;
  }
  FLockFd = TakeLock(FPath + ".lock");
  return FLockFd >= 0;
}

void HiveFile::UnlockWriters() {
  if (FLockFd < 0 || FHolds > 0) return;
  close(FLockFd);  // closing releases the lock
  FLockFd = -1;
}

void HiveFile::HoldWriters() {
  ++FHolds;
  LockWriters();
}

void HiveFile::ReleaseWriters() {
  if (FHolds > 0) --FHolds;
  UnlockWriters();
}

bool HiveFile::KeepBrokenFileAside(const std::string& target) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string aside = target + ".broken-" + stamp;
  for (int n = 2; access(aside.c_str(), F_OK) == 0; ++n) {
    aside = target + ".broken-" + stamp + "-" + std::to_string(n);
  }
  if (rename(target.c_str(), aside.c_str()) != 0) {
    FReport("lettrance: cannot keep the broken settings file aside (" + ErrnoText() +
            "); it is left as it is and the new settings are not written");
    return false;
  }
  FReport("lettrance: the broken settings file was kept as " + aside);
  return true;
}

RegStatus HiveFile::WriteAtomically(const std::string& target, const RegHive& hive) {
  const std::string text = FormatRegFile(hive);
  struct stat existing;
  const bool keepMode = stat(target.c_str(), &existing) == 0;
  std::string temp;
  const int fd = CreateTemporary(target, temp);
  if (fd < 0) {
    FReport("lettrance: cannot write the settings file " + FPath + ": " + ErrnoText());
    return ERROR_WRITE_FAULT;
  }
  const bool written = (!keepMode || fchmod(fd, existing.st_mode & 07777) == 0) &&
                       WriteAll(fd, text) && fsync(fd) == 0;
  const int writeErrno = errno;
  close(fd);
  if (!written || rename(temp.c_str(), target.c_str()) != 0) {
    const int error = written ? errno : writeErrno;
    FReport("lettrance: cannot write the settings file " + FPath + ": " + ErrnoText(error));
    unlink(temp.c_str());
    return ERROR_WRITE_FAULT;
  }
  // Make the rename itself durable.
  const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return ERROR_SUCCESS;
}

RegStatus HiveFile::Commit(const std::function<void(RegHive&)>& change) {
  const bool locked = LockWriters();
  struct Unlock {
    HiveFile& file;
    ~Unlock() { file.UnlockWriters(); }
  } unlock{*this};
  ReloadIfChanged();  // another process may have written since we last looked
  if (!locked) return ERROR_ACCESS_DENIED;
  if (!Writable()) return ERROR_ACCESS_DENIED;
  std::string target;
  if (!WriteTarget(FPath, target) || !MakeFolders(FolderOf(target))) {
    FReport("lettrance: cannot write the settings file " + FPath + ": " + ErrnoText());
    return ERROR_WRITE_FAULT;
  }
  RemoveStaleTemporaries(target);

  RegHive next = FHive;
  change(next);
  if (FBroken && FStamp.exists && !KeepBrokenFileAside(target)) return ERROR_WRITE_FAULT;
  const RegStatus status = WriteAtomically(target, next);
  if (status != ERROR_SUCCESS) {
    FLoaded = false;  // the file may have moved aside: look again next time
    return status;
  }
  FHive = std::move(next);
  FBroken = false;
  FStamp = StampOf(FPath);
  ++FGeneration;
  return ERROR_SUCCESS;
}

}  // namespace platform
