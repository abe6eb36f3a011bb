#pragma once
// A registry key object that opens keys with a falling scale of access
// rights: full access, then read and write, then (without create) read only.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/registry/UserRegistry.h"

// Raised by the typed reads and writes; the message names the value.
class ERegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TNTRegistry {
 public:
  explicit TNTRegistry(platform::RegistryStore& store = platform::UserRegistry());
  virtual ~TNTRegistry();
  TNTRegistry(const TNTRegistry&) = delete;
  TNTRegistry& operator=(const TNTRegistry&) = delete;

  platform::RegHandle CurrentKey() const { return FCurrentKey; }
  platform::RegHandle RootKey() const { return FRootKey; }
  void SetRootKey(platform::RegHandle root);
  const std::string& CurrentPath() const { return FCurrentPath; }

  // Closing stores what was written through the key: when that fails it
  // raises the write error of the first value written (the key is closed
  // either way, and the store keeps the values to try again).
  void ClosePath();
  // A path starting with '\' counts from the root; any other from the current
  // key. Failure leaves the previous key open.
  bool OpenPath(const std::string& path, bool canCreate);

  bool HasValue(const std::string& name);
  int32_t GetInteger(const std::string& name);
  std::string GetString(const std::string& name);
  bool GetBool(const std::string& name);
  void PutInteger(const std::string& name, int32_t value);
  void PutString(const std::string& name, const std::string& value);
  void PutBool(const std::string& name, bool value);

 protected:
  // Opens `path` with the first of `accesses` that is granted (create or open).
  bool OpenWithAccess(const std::string& path, bool create,
                      std::initializer_list<platform::RegAccess> accesses);
  platform::RegistryStore& Store() { return FStore; }

 private:
  void CloseCurrentKey();
  void Written(const std::string& name);

  platform::RegistryStore& FStore;
  platform::RegHandle FCurrentKey = 0;
  platform::RegHandle FRootKey = platform::HKEY_CURRENT_USER;
  std::string FCurrentPath;
  std::string FFirstWrittenName;  // through the current key, not yet stored
  std::string FUnstoredName;      // of a key closed by an open, when storing failed
};

// The three error texts, with the value name in place of %s.
std::string RegistryReadErrorText(const std::string& name);
std::string RegistryTypeErrorText(const std::string& name);
std::string RegistryWriteErrorText(const std::string& name);
