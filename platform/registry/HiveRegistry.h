#pragma once
// The registry calls over a hive storage. Changes made through open keys are
// collected and stored together when a key is closed, so that saving a whole
// record costs one write of the hive, not one per value.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry/HiveStorage.h"
#include "platform/registry/RegistryStore.h"

namespace platform {

class HiveRegistry : public RegistryStore {
 public:
  explicit HiveRegistry(std::unique_ptr<HiveStorage> storage);
  ~HiveRegistry() override;  // stores what is still pending

  RegStatus OpenKey(RegHandle parent, std::string_view subKey, RegAccess access,
                    RegHandle& result) override;
  RegStatus CreateKey(RegHandle parent, std::string_view subKey, RegAccess access,
                      RegHandle& result) override;
  RegStatus QueryValue(RegHandle key, std::string_view name, uint32_t* type, uint8_t* data,
                       uint32_t* size) override;
  RegStatus SetValue(RegHandle key, std::string_view name, uint32_t type, const uint8_t* data,
                     uint32_t size) override;
  RegStatus CloseKey(RegHandle key) override;
  void BeginUpdate() override;
  void EndUpdate() override;

  // Stores pending changes now.
  RegStatus Flush();

  HiveStorage& Storage() { return *FStorage; }

 private:
  struct OpenedKey {
    std::string path;
    RegAccess access;
  };
  struct PendingChange {
    std::string keyPath;
    bool setsValue;  // else only creates the key
    RegValue value;
  };

  const RegHive& View();
  // The view as a copy that pending changes can be applied to.
  RegHive& EditableView();
  void Replay(RegHive& hive) const;
  RegStatus Open(RegHandle parent, std::string_view subKey, RegAccess access, bool create,
                 RegHandle& result);
  RegStatus FlushLocked();
  // The path of an open key, when it was opened with the `needed` rights.
  RegStatus KeyPath(RegHandle key, RegAccess needed, std::string& path);

  std::mutex FMutex;
  std::unique_ptr<HiveStorage> FStorage;
  RegHive FView;  // storage content with the pending changes applied, while any
  uint64_t FViewGeneration = 0;
  std::vector<PendingChange> FPending;
  std::map<RegHandle, OpenedKey> FHandles;
  RegHandle FNextHandle = 1;
};

}  // namespace platform
