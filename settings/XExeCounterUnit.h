#pragma once
// The run counter: how often the program was started, and with which version.

#include <cstdint>
#include <string>

// Counts a start in `keyPath` (values ExeCounter and ExeVersion) and leaves the
// version found there in StoredVersion. Returns the number of earlier counted
// starts, or 0 when the stored version differs from `version`; callers treat a
// result of 0 or less as the first start of this version. The new version is
// not written here but by the settings load that migrates the settings to it.
// Never raises: a registry failure returns the result as it stood.
int32_t CheckExeCounter(const std::string& keyPath, const std::string& version);
