#pragma once
// Points the registry classes at an in-memory hive for the life of a test.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/HiveRegistry.h"
#include "platform/registry/UserRegistry.h"

class RegistryTestStore {
 public:
  RegistryTestStore() {
    auto owned = std::make_unique<platform::MemoryHiveStorage>();
    storage_ = owned.get();
    registry_ = std::make_unique<platform::HiveRegistry>(std::move(owned));
    platform::SetUserRegistry(registry_.get());
  }
  ~RegistryTestStore() { platform::SetUserRegistry(nullptr); }

  platform::MemoryHiveStorage& Storage() { return *storage_; }
  platform::HiveRegistry& Registry() { return *registry_; }

  void Set(std::string_view key, std::string_view name, uint32_t type, std::vector<uint8_t> data) {
    storage_->Edit([&](platform::RegHive& hive) { hive.SetValue(key, name, type, data); });
  }
  void SetDword(std::string_view key, std::string_view name, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    Set(key, name, platform::REG_DWORD,
        {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  }
  void SetString(std::string_view key, std::string_view name, std::string_view text) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    Set(key, name, platform::REG_SZ, data);
  }
  const platform::RegValue* Find(std::string_view key, std::string_view name) {
    return storage_->Current().FindValue(key, name);
  }
  // A missing value compares unequal instead of ending the test.
  std::optional<std::vector<uint8_t>> Data(std::string_view key, std::string_view name) {
    const platform::RegValue* value = Find(key, name);
    if (value == nullptr) return std::nullopt;
    return value->data;
  }
  uint32_t Type(std::string_view key, std::string_view name) {
    const platform::RegValue* value = Find(key, name);
    return value == nullptr ? platform::REG_NONE : value->type;
  }
  int32_t Dword(std::string_view key, std::string_view name) {
    const platform::RegValue* value = Find(key, name);
    if (value == nullptr || value->data.size() != 4) return INT32_MIN;
    const auto& d = value->data;
    return static_cast<int32_t>(d[0] | (d[1] << 8) | (d[2] << 16) |
                                (static_cast<uint32_t>(d[3]) << 24));
  }
  // A string value without its closing zero; empty when missing.
  std::string String(std::string_view key, std::string_view name) {
    const platform::RegValue* value = Find(key, name);
    if (value == nullptr) return std::string();
    std::string text(value->data.begin(), value->data.end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
  }

 private:
  platform::MemoryHiveStorage* storage_;
  std::unique_ptr<platform::HiveRegistry> registry_;
};
