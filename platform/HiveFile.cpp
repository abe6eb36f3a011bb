#include "platform/HiveFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "platform/RegFileFormat.h"

namespace platform {
namespace {

constexpr off_t kMaxFileSize = 64 * 1024 * 1024;

std::string ErrnoText() {
  return std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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

class LockFile {
 public:
  explicit LockFile(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~LockFile() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace

bool HiveFile::Stamp::operator==(const Stamp& other) const {
  return exists == other.exists && device == other.device && inode == other.inode &&
         size == other.size && modified.tv_sec == other.modified.tv_sec &&
         modified.tv_nsec == other.modified.tv_nsec;
}

HiveFile::HiveFile(std::string path, Reporter report)
    : path_(std::move(path)), report_(std::move(report)) {
  if (!report_) report_ = [](const std::string& message) { std::cerr << message << std::endl; };
}

HiveFile::Stamp HiveFile::StampOf(const std::string& path) {
  Stamp stamp;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.modified = st.st_mtim;
  return stamp;
}

const RegHive& HiveFile::Current() {
  ReloadIfChanged();
  return hive_;
}

void HiveFile::ReloadIfChanged() {
  const Stamp stamp = StampOf(path_);
  if (loaded_ && stamp == stamp_) return;
  loaded_ = true;
  stamp_ = stamp;
  ++generation_;
  hive_ = RegHive();
  broken_ = false;
  unreadable_ = false;
  if (!stamp.exists) return;

  const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
    const std::string why = fd < 0 ? ErrnoText() : "not a regular file of a sensible size";
    if (fd >= 0) close(fd);
    unreadable_ = true;
    report_("lettrance: cannot read the settings file " + path_ + ": " + why +
            "; using defaults and leaving the file untouched");
    return;
  }
  std::string text;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0) {
      if (errno == EINTR) continue;
      unreadable_ = true;
      break;
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  if (unreadable_) {
    report_("lettrance: cannot read the settings file " + path_ + ": " + ErrnoText() +
            "; using defaults and leaving the file untouched");
    return;
  }

  RegParseResult parsed = ParseRegFile(text);
  hive_ = std::move(parsed.hive);
  if (!parsed.errors.empty()) {
    broken_ = true;
    const RegParseError& first = parsed.errors.front();
    std::string message =
        "lettrance: " + path_ + ":" + std::to_string(first.line) + ": " + first.message;
    if (parsed.errors.size() > 1) {
      message += " (and " + std::to_string(parsed.errors.size() - 1) + " more problems)";
    }
    message += "; using what could be read. The file will be kept aside as " + path_ +
               ".broken-<time> before new settings are written.";
    report_(message);
  }
}

bool HiveFile::Writable() const {
  if (unreadable_) return false;  // writing would lose what we could not read
  if (stamp_.exists) return WritableEntry(path_) && WritableEntry(FolderOf(path_));
  std::string folder = FolderOf(path_);
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

bool HiveFile::KeepBrokenFileAside() {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string aside = path_ + ".broken-" + stamp;
  for (int n = 2; access(aside.c_str(), F_OK) == 0; ++n) {
    aside = path_ + ".broken-" + stamp + "-" + std::to_string(n);
  }
  if (rename(path_.c_str(), aside.c_str()) != 0) {
    report_("lettrance: cannot keep the broken settings file aside (" + ErrnoText() +
            "); it is left as it is and the new settings are not written");
    return false;
  }
  report_("lettrance: the broken settings file was kept as " + aside);
  return true;
}

RegStatus HiveFile::WriteAtomically(const RegHive& hive) {
  const std::string text = FormatRegFile(hive);
  std::string temp = path_ + ".tmp-XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    report_("lettrance: cannot write the settings file " + path_ + ": " + ErrnoText());
    return ERROR_WRITE_FAULT;
  }
  const bool written = WriteAll(fd, text) && fsync(fd) == 0;
  const int savedErrno = errno;
  close(fd);
  if (!written || rename(temp.c_str(), path_.c_str()) != 0) {
    errno = written ? errno : savedErrno;
    report_("lettrance: cannot write the settings file " + path_ + ": " + ErrnoText());
    unlink(temp.c_str());
    return ERROR_WRITE_FAULT;
  }
  // Make the rename itself durable.
  const int folder = open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return ERROR_SUCCESS;
}

RegStatus HiveFile::Commit(const std::function<void(RegHive&)>& change) {
  if (!MakeFolders(FolderOf(path_))) {
    report_("lettrance: cannot create the settings folder " + FolderOf(path_) + ": " + ErrnoText());
    return ERROR_WRITE_FAULT;
  }
  LockFile lock(path_ + ".lock");
  if (!lock.Held()) {
    ReloadIfChanged();
    return ERROR_ACCESS_DENIED;
  }
  ReloadIfChanged();  // another process may have written since we last looked
  if (!Writable()) return ERROR_ACCESS_DENIED;

  RegHive next = hive_;
  change(next);
  if (broken_ && stamp_.exists && !KeepBrokenFileAside()) return ERROR_WRITE_FAULT;
  const RegStatus status = WriteAtomically(next);
  if (status != ERROR_SUCCESS) {
    loaded_ = false;  // the file may have moved aside: look again next time
    return status;
  }
  hive_ = std::move(next);
  broken_ = false;
  stamp_ = StampOf(path_);
  ++generation_;
  return ERROR_SUCCESS;
}

}  // namespace platform
