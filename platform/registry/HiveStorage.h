#pragma once
// Where a hive's content lives between registry calls: a file for the
// program, memory for tests and tools.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/registry/RegHive.h"
#include "platform/registry/RegistryStore.h"

namespace platform {

class HiveStorage {
 public:
  virtual ~HiveStorage() = default;

  // The latest content, re-read when somebody else changed it.
  virtual const RegHive& Current() = 0;
  // Changes whenever the content returned by Current() may have changed.
  virtual uint64_t Generation() const = 0;
  // Applies `change` to the latest content and stores the result, atomically
  // with respect to every other writer of the same storage.
  virtual RegStatus Commit(const std::function<void(RegHive&)>& change) = 0;
  // The rights that may be granted on a key.
  virtual RegAccess Grantable(std::string_view keyPath) = 0;

  // Keeps every other writer waiting until ReleaseWriters, so that content
  // read in between and then committed loses no other writer's change.
  // Storages with a single writer need nothing.
  virtual void HoldWriters() {}
  virtual void ReleaseWriters() {}
};

// In-memory storage with per-key grants: a grant set on a key also holds for
// its sub-keys unless they have their own; keys without one grant everything.
class MemoryHiveStorage : public HiveStorage {
 public:
  const RegHive& Current() override { return FHive; }
  uint64_t Generation() const override { return FGeneration; }
  RegStatus Commit(const std::function<void(RegHive&)>& change) override;
  RegAccess Grantable(std::string_view keyPath) override;

  // Changes the content as another writer would.
  void Edit(const std::function<void(RegHive&)>& change);
  void SetGrant(std::string_view keyPath, RegAccess access);
  // Commits give `status` and change nothing while it is not ERROR_SUCCESS,
  // as a full disk would.
  void SetCommitStatus(RegStatus status) { FCommitStatus = status; }
  int CommitCount() const { return FCommits; }

 private:
  RegHive FHive;
  uint64_t FGeneration = 1;
  int FCommits = 0;
  RegStatus FCommitStatus = ERROR_SUCCESS;
  std::map<std::string, RegAccess> FGrants;  // by folded path
};

}  // namespace platform
