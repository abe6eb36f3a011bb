#pragma once
// A hierarchical key/value store with the semantics of the Win32 registry
// calls: keys opened or created by path with an access mask, typed values,
// case-insensitive and case-preserving names, results as status codes.

#include <cstdint>
#include <string_view>

namespace platform {

using RegStatus = long;
using RegHandle = uint32_t;
using RegAccess = uint32_t;

inline constexpr RegStatus ERROR_SUCCESS = 0;
inline constexpr RegStatus ERROR_FILE_NOT_FOUND = 2;
inline constexpr RegStatus ERROR_ACCESS_DENIED = 5;
inline constexpr RegStatus ERROR_INVALID_HANDLE = 6;
inline constexpr RegStatus ERROR_WRITE_FAULT = 29;
inline constexpr RegStatus ERROR_INVALID_PARAMETER = 87;
inline constexpr RegStatus ERROR_MORE_DATA = 234;

inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

inline constexpr RegAccess KEY_QUERY_VALUE = 0x0001;
inline constexpr RegAccess KEY_SET_VALUE = 0x0002;
inline constexpr RegAccess KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr RegAccess KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr RegAccess KEY_NOTIFY = 0x0010;
inline constexpr RegAccess KEY_CREATE_LINK = 0x0020;
inline constexpr RegAccess KEY_READ = 0x20019;
inline constexpr RegAccess KEY_WRITE = 0x20006;
inline constexpr RegAccess KEY_ALL_ACCESS = 0xF003F;

// The predefined root of the per-user hive; always open.
inline constexpr RegHandle HKEY_CURRENT_USER = 0x80000001u;

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  // Opens an existing key below `parent` (sub-key path with '\' separators;
  // empty opens `parent` itself again).
  virtual RegStatus OpenKey(RegHandle parent, std::string_view subKey, RegAccess access,
                            RegHandle& result) = 0;
  // Opens the key, creating it and its missing parents first.
  virtual RegStatus CreateKey(RegHandle parent, std::string_view subKey, RegAccess access,
                              RegHandle& result) = 0;
  // With `data` null, reports type and size only. A buffer smaller than the
  // value gives ERROR_MORE_DATA with the needed size in `size`.
  virtual RegStatus QueryValue(RegHandle key, std::string_view name, uint32_t* type, uint8_t* data,
                               uint32_t* size) = 0;
  virtual RegStatus SetValue(RegHandle key, std::string_view name, uint32_t type,
                             const uint8_t* data, uint32_t size) = 0;
  // Closing a key stores what was changed through it; the result says
  // whether that succeeded.
  virtual RegStatus CloseKey(RegHandle key) = 0;

  // Between these two no other writer changes the store, so a value can be
  // read and written back without losing another writer's update.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};

// BeginUpdate for as long as it lives.
class RegistryUpdate {
 public:
  explicit RegistryUpdate(RegistryStore& store) : FStore(store) { FStore.BeginUpdate(); }
  ~RegistryUpdate() { FStore.EndUpdate(); }
  RegistryUpdate(const RegistryUpdate&) = delete;
  RegistryUpdate& operator=(const RegistryUpdate&) = delete;

 private:
  RegistryStore& FStore;
};

}  // namespace platform
