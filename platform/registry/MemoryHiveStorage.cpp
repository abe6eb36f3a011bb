#include "platform/registry/HiveStorage.h"

namespace platform {

RegStatus MemoryHiveStorage::Commit(const std::function<void(RegHive&)>& change) {
  if (commitStatus_ != ERROR_SUCCESS) return commitStatus_;
  change(hive_);
  ++generation_;
  ++commits_;
  return ERROR_SUCCESS;
}

void MemoryHiveStorage::Edit(const std::function<void(RegHive&)>& change) {
  change(hive_);
  ++generation_;
}

void MemoryHiveStorage::SetGrant(std::string_view keyPath, RegAccess access) {
  grants_[FoldRegName(keyPath)] = access;
}

RegAccess MemoryHiveStorage::Grantable(std::string_view keyPath) {
  std::string path = FoldRegName(keyPath);
  while (true) {
    auto it = grants_.find(path);
    if (it != grants_.end()) return it->second;
    if (path.empty()) return KEY_ALL_ACCESS;
    const size_t slash = path.rfind('\\');
    path.resize(slash == std::string::npos ? 0 : slash);
  }
}

}  // namespace platform
