#pragma once
// The per-user registry hive of this program: one file below the user's
// configuration folder.

#include <string>

#include "platform/registry/RegistryStore.h"

namespace platform {

// $XDG_CONFIG_HOME/lettrance/registry.reg; ~/.config when the variable is
// unset, empty or not an absolute path.
std::string UserHivePath();

// The store the registry classes use: the user's hive file, made on first use,
// or the store installed with SetUserRegistry.
RegistryStore& UserRegistry();

// Installs another store (tests, tools that must not touch the user's
// settings); nullptr goes back to the user's hive. The caller keeps ownership.
void SetUserRegistry(RegistryStore* store);

}  // namespace platform
