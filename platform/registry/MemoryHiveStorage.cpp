#include "platform/registry/HiveStorage.h"

namespace platform {

RegStatus MemoryHiveStorage::Commit(const std::function<void(RegHive&)>& change) {
  if (FCommitStatus != ERROR_SUCCESS) return FCommitStatus;
  change(FHive);
  ++FGeneration;
  ++FCommits;
  return ERROR_SUCCESS;
}

void MemoryHiveStorage::Edit(const std::function<void(RegHive&)>& change) {
  change(FHive);
  ++FGeneration;
}

void MemoryHiveStorage::SetGrant(std::string_view keyPath, RegAccess access) {
  FGrants[FoldRegName(keyPath)] = access;
}

RegAccess MemoryHiveStorage::Grantable(std::string_view keyPath) {
  std::string path = FoldRegName(keyPath);
  while (true) {
    auto it = FGrants.find(path);
    if (it != FGrants.end()) return it->second;
    if (path.empty()) return KEY_ALL_ACCESS;
    const size_t slash = path.rfind('\\');
    path.resize(slash == std::string::npos ? 0 : slash);
  }
}

}  // namespace platform
