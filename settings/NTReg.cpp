#include "settings/NTReg.h"

#include <vector>

using namespace platform;

std::string RegistryReadErrorText(const std::string& name) {
  return "Konnte Daten für '" + name + "' nicht holen";
}
std::string RegistryTypeErrorText(const std::string& name) {
  return "Ungültiger Datentyp für '" + name + "'";
}
std::string RegistryWriteErrorText(const std::string& name) {
  return "Konnte Daten für '" + name + "' nicht setzen";
}

TNTRegistry::TNTRegistry(RegistryStore& store) : FStore(store) {}

TNTRegistry::~TNTRegistry() {
  try {
    ClosePath();
  } catch (const ERegistryError&) {  // callers that need the result close the key themselves
  }
}

void TNTRegistry::SetRootKey(RegHandle root) {
  if (root == FRootKey) return;
  FRootKey = root;
  ClosePath();
}

void TNTRegistry::ClosePath() {
  CloseCurrentKey();
  if (FUnstoredName.empty()) return;
  const std::string name = std::move(FUnstoredName);
  FUnstoredName.clear();
  throw ERegistryError(RegistryWriteErrorText(name));
}

void TNTRegistry::CloseCurrentKey() {
  if (FCurrentKey == 0) return;
  // The store keeps what was written through the key until it is closed; a
  // failure to store it is this object's write error.
  const bool stored = FStore.CloseKey(FCurrentKey) == ERROR_SUCCESS;
  if (!stored && FUnstoredName.empty()) FUnstoredName = FFirstWrittenName;
  FFirstWrittenName.clear();
  FCurrentKey = 0;
  FCurrentPath.clear();
}

void TNTRegistry::Written(const std::string& name) {
  if (FFirstWrittenName.empty()) FFirstWrittenName = name;
}

bool TNTRegistry::OpenWithAccess(const std::string& path, bool create,
                                 std::initializer_list<RegAccess> accesses) {
  const bool absolute = !path.empty() && path.front() == '\\';
  const std::string subKey = absolute ? path.substr(1) : path;
  const RegHandle parent = absolute || FCurrentKey == 0 ? FRootKey : FCurrentKey;
  for (RegAccess access : accesses) {
    RegHandle key = 0;
    const RegStatus status = create ? FStore.CreateKey(parent, subKey, access, key)
                                    : FStore.OpenKey(parent, subKey, access, key);
    if (status != ERROR_SUCCESS) continue;
    const std::string newPath = absolute ? subKey : FCurrentPath + "\\" + subKey;
    CloseCurrentKey();  // a failure to store is raised by the next ClosePath
    FCurrentKey = key;
    FCurrentPath = newPath;
    return true;
  }
  return false;
}

bool TNTRegistry::OpenPath(const std::string& path, bool canCreate) {
  if (canCreate && !path.empty()) {
    return OpenWithAccess(path, true, {KEY_ALL_ACCESS, KEY_READ | KEY_WRITE});
  }
  return OpenWithAccess(path, false, {KEY_ALL_ACCESS, KEY_READ | KEY_WRITE, KEY_READ});
}

bool TNTRegistry::HasValue(const std::string& name) {
  return FStore.QueryValue(FCurrentKey, name, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

int32_t TNTRegistry::GetInteger(const std::string& name) {
  uint8_t buffer[4] = {0, 0, 0, 0};
  uint32_t size = sizeof buffer;
  uint32_t type = REG_NONE;
  if (FStore.QueryValue(FCurrentKey, name, &type, buffer, &size) != ERROR_SUCCESS) {
    throw ERegistryError(RegistryReadErrorText(name));
  }
  if (type != REG_DWORD) throw ERegistryError(RegistryTypeErrorText(name));
  const uint32_t value =
      buffer[0] | (buffer[1] << 8) | (buffer[2] << 16) | (static_cast<uint32_t>(buffer[3]) << 24);
  return static_cast<int32_t>(value);
}

std::string TNTRegistry::GetString(const std::string& name) {
  uint32_t size = 0;
  uint32_t type = REG_NONE;
  if (FStore.QueryValue(FCurrentKey, name, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) {
    return std::string();
  }
  std::vector<uint8_t> buffer(size);
  if (FStore.QueryValue(FCurrentKey, name, &type, buffer.data(), &size) != ERROR_SUCCESS) {
    throw ERegistryError(RegistryReadErrorText(name));
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryError(RegistryTypeErrorText(name));
  std::string text(buffer.begin(), buffer.begin() + size);
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

bool TNTRegistry::GetBool(const std::string& name) {
  return GetInteger(name) != 0;
}

void TNTRegistry::PutInteger(const std::string& name, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  const uint8_t data[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                           static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
  if (FStore.SetValue(FCurrentKey, name, REG_DWORD, data, sizeof data) != ERROR_SUCCESS) {
    throw ERegistryError(RegistryWriteErrorText(name));
  }
  Written(name);
}

void TNTRegistry::PutString(const std::string& name, const std::string& value) {
  std::vector<uint8_t> data(value.begin(), value.end());
  data.push_back(0);
  if (FStore.SetValue(FCurrentKey, name, REG_SZ, data.data(), static_cast<uint32_t>(data.size())) !=
      ERROR_SUCCESS) {
    throw ERegistryError(RegistryWriteErrorText(name));
  }
  Written(name);
}

void TNTRegistry::PutBool(const std::string& name, bool value) {
  PutInteger(name, value ? 1 : 0);
}
