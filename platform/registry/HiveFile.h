#pragma once
// A hive stored in one registry text file, shared safely between processes:
// writers serialise on a lock file and replace the data file atomically
// (through a symbolic link, at the link's target, keeping the file's mode);
// readers notice a replaced file and read it again. Anything but a regular
// file at the path is reported and left alone, never opened for reading.

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <string>

#include "platform/registry/HiveStorage.h"

namespace platform {

class HiveFile : public HiveStorage {
 public:
  using Reporter = std::function<void(const std::string&)>;

  // Problems (a file that cannot be parsed or read, a failed write) are
  // reported once each through `report`; by default on stderr.
  explicit HiveFile(std::string path, Reporter report = {});
  ~HiveFile() override;

  const RegHive& Current() override;
  uint64_t Generation() const override { return FGeneration; }
  RegStatus Commit(const std::function<void(RegHive&)>& change) override;
  RegAccess Grantable(std::string_view keyPath) override;
  void HoldWriters() override;
  void ReleaseWriters() override;

  const std::string& Path() const { return FPath; }

 private:
  struct Stamp {
    bool exists = false;
    int error = 0;  // why the path could not be looked at, other than its absence
    mode_t mode = 0;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const Stamp& other) const;
  };

  static Stamp StampOf(const std::string& path);
  void ReloadIfChanged();
  void ReadFile();
  void ReportUnusable(const std::string& why);
  bool Writable() const;
  bool LockWriters();
  void UnlockWriters();
  bool KeepBrokenFileAside(const std::string& target);
  RegStatus WriteAtomically(const std::string& target, const RegHive& hive);

  std::string FPath;
  Reporter FReport;
  RegHive FHive;
  Stamp FStamp;
  bool FLoaded = false;
  bool FBroken = false;      // the file on disk could be read only in part
  bool FUnreadable = false;  // the file on disk could not be read at all
  uint64_t FGeneration = 1;
  int FLockFd = -1;  // the writer lock, while held
  int FHolds = 0;    // HoldWriters calls not yet released
};

}  // namespace platform
