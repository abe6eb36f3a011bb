#pragma once
// A hive stored in one registry text file, shared safely between processes:
// writers serialise on a lock file and replace the data file atomically;
// readers notice a replaced file and read it again.

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <string>

#include "platform/HiveStorage.h"

namespace platform {

class HiveFile : public HiveStorage {
 public:
  using Reporter = std::function<void(const std::string&)>;

  // Problems (a file that cannot be parsed or read, a failed write) are
  // reported once each through `report`; by default on stderr.
  explicit HiveFile(std::string path, Reporter report = {});

  const RegHive& Current() override;
  uint64_t Generation() const override { return generation_; }
  RegStatus Commit(const std::function<void(RegHive&)>& change) override;
  RegAccess Grantable(std::string_view keyPath) override;

  const std::string& Path() const { return path_; }

 private:
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const Stamp& other) const;
  };

  static Stamp StampOf(const std::string& path);
  void ReloadIfChanged();
  bool Writable() const;
  bool KeepBrokenFileAside();
  RegStatus WriteAtomically(const RegHive& hive);

  std::string path_;
  Reporter report_;
  RegHive hive_;
  Stamp stamp_;
  bool loaded_ = false;
  bool broken_ = false;      // the file on disk could be read only in part
  bool unreadable_ = false;  // the file on disk could not be read at all
  uint64_t generation_ = 1;
};

}  // namespace platform
