#include "platform/registry/HiveRegistry.h"

#include <cstring>

namespace platform {
namespace {
constexpr RegAccess kSpecificRights = 0xF003F;  // what KEY_ALL_ACCESS names
}

HiveRegistry::HiveRegistry(std::unique_ptr<HiveStorage> storage) : FStorage(std::move(storage)) {
  FViewGeneration = FStorage->Generation() - 1;  // forces the first read
}

HiveRegistry::~HiveRegistry() {
  std::lock_guard lock(FMutex);
  FlushLocked();
}

const RegHive& HiveRegistry::View() {
  const RegHive& current = FStorage->Current();
  // Without pending changes the storage's content is the view: no copy.
  if (FPending.empty()) return current;
  if (FStorage->Generation() != FViewGeneration) {
    FView = current;
    Replay(FView);
    FViewGeneration = FStorage->Generation();
  }
  return FView;
}

RegHive& HiveRegistry::EditableView() {
  if (FPending.empty() || FStorage->Generation() != FViewGeneration) {
    FView = FStorage->Current();
    Replay(FView);
    FViewGeneration = FStorage->Generation();
  }
  return FView;
}

void HiveRegistry::Replay(RegHive& hive) const {
  for (const PendingChange& change : FPending) {
    if (change.setsValue) {
      hive.SetValue(change.keyPath, change.value.name, change.value.type, change.value.data);
    } else {
      hive.CreateKey(change.keyPath);
    }
  }
}

RegStatus HiveRegistry::Open(RegHandle parent, std::string_view subKey, RegAccess access,
                             bool create, RegHandle& result) {
  std::string parentPath;
  if (parent != HKEY_CURRENT_USER) {
    auto it = FHandles.find(parent);
    if (it == FHandles.end()) return ERROR_INVALID_HANDLE;
    parentPath = it->second.path;
  }
  std::string relative;
  if (!NormalizeKeyPath(subKey, relative)) return ERROR_INVALID_PARAMETER;
  std::string path = parentPath;
  if (!relative.empty()) path += (path.empty() ? "" : "\\") + relative;

  const RegAccess grantable = FStorage->Grantable(path);
  if ((access & kSpecificRights & ~grantable) != 0) return ERROR_ACCESS_DENIED;

  const RegKeyNode* node = View().FindKey(path);
  if (node == nullptr) {
    if (!create) return ERROR_FILE_NOT_FOUND;
    if ((grantable & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
    RegHive& view = EditableView();
    FPending.push_back(PendingChange{path, false, {}});
    node = &view.CreateKey(path);
  }
  result = FNextHandle++;
  if (FNextHandle >= HKEY_CURRENT_USER) FNextHandle = 1;
  FHandles[result] = OpenedKey{node->path, access};
  return ERROR_SUCCESS;
}

RegStatus HiveRegistry::OpenKey(RegHandle parent, std::string_view subKey, RegAccess access,
                                RegHandle& result) {
  std::lock_guard lock(FMutex);
  return Open(parent, subKey, access, false, result);
}

RegStatus HiveRegistry::CreateKey(RegHandle parent, std::string_view subKey, RegAccess access,
                                  RegHandle& result) {
  std::lock_guard lock(FMutex);
  return Open(parent, subKey, access, true, result);
}

RegStatus HiveRegistry::KeyPath(RegHandle key, RegAccess needed, std::string& path) {
  if (key == HKEY_CURRENT_USER) {
    // The root is always open, with what the storage grants.
    path.clear();
    return (FStorage->Grantable("") & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
  }
  auto it = FHandles.find(key);
  if (it == FHandles.end()) return ERROR_INVALID_HANDLE;
  if ((it->second.access & needed) != needed) return ERROR_ACCESS_DENIED;
  path = it->second.path;
  return ERROR_SUCCESS;
}

RegStatus HiveRegistry::QueryValue(RegHandle key, std::string_view name, uint32_t* type,
                                   uint8_t* data, uint32_t* size) {
  std::lock_guard lock(FMutex);
  std::string path;
  if (const RegStatus status = KeyPath(key, KEY_QUERY_VALUE, path); status != ERROR_SUCCESS) {
    return status;
  }
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  const RegValue* value = View().FindValue(path, name);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = value->type;
  const auto needed = static_cast<uint32_t>(value->data.size());
  if (data != nullptr && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (data != nullptr && needed > 0) std::memcpy(data, value->data.data(), needed);
  if (size != nullptr) *size = needed;
  return ERROR_SUCCESS;
}

RegStatus HiveRegistry::SetValue(RegHandle key, std::string_view name, uint32_t type,
                                 const uint8_t* data, uint32_t size) {
  std::lock_guard lock(FMutex);
  std::string path;
  if (const RegStatus status = KeyPath(key, KEY_SET_VALUE, path); status != ERROR_SUCCESS) {
    return status;
  }
  if (data == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  RegHive& view = EditableView();
  PendingChange change{path, true, RegValue{std::string(name), type, {}}};
  if (size > 0) change.value.data.assign(data, data + size);
  view.SetValue(path, change.value.name, type, change.value.data);
  FPending.push_back(std::move(change));
  return ERROR_SUCCESS;
}

RegStatus HiveRegistry::CloseKey(RegHandle key) {
  std::lock_guard lock(FMutex);
  if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
  if (FHandles.erase(key) == 0) return ERROR_INVALID_HANDLE;
  return FlushLocked();
}

void HiveRegistry::BeginUpdate() {
  std::lock_guard lock(FMutex);
  FStorage->HoldWriters();
}

void HiveRegistry::EndUpdate() {
  std::lock_guard lock(FMutex);
  FStorage->ReleaseWriters();
}

RegStatus HiveRegistry::Flush() {
  std::lock_guard lock(FMutex);
  return FlushLocked();
}

RegStatus HiveRegistry::FlushLocked() {
  if (FPending.empty()) return ERROR_SUCCESS;
  const RegStatus status = FStorage->Commit([this](RegHive& hive) { Replay(hive); });
  // Changes that could not be stored stay pending: the next close tries again.
  if (status == ERROR_SUCCESS) FPending.clear();
  return status;
}

}  // namespace platform
