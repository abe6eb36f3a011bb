#include "host/PasswordUnit.h"

#include "settings/XRegistryUnit.h"

const char* const PasswordSettingsKey = "Control Panel\\Desktop";
const char* const PasswordSettingsValue = "ScreenSaveUsePassword";
const char* const PasswordProviderName = "SCRSAVE";

namespace {

class TAbsentPasswordPlatform : public TPasswordPlatform {
 public:
  std::unique_ptr<TPasswordLibrary> LoadVerifyLibrary() override { return nullptr; }
  std::unique_ptr<TPasswordLibrary> LoadChangeLibrary() override { return nullptr; }
};

// Hides the cursor again however the check ends.
class TCursorShownWhileChecking {
 public:
  explicit TCursorShownWhileChecking(TCursorSwitch& cursor) : FCursor(cursor) {
    FCursor.ShowCursor(true);
  }
  ~TCursorShownWhileChecking() { FCursor.ShowCursor(false); }
  TCursorShownWhileChecking(const TCursorShownWhileChecking&) = delete;
  TCursorShownWhileChecking& operator=(const TCursorShownWhileChecking&) = delete;

 private:
  TCursorSwitch& FCursor;
};

bool AskPlatform(platform::WindowId saverWindow, TPasswordPlatform& passwords) {
  const std::unique_ptr<TPasswordLibrary> library = passwords.LoadVerifyLibrary();
  if (!library) return true;
  const TVerifyScreenSavePwd verify = library->FindVerifyScreenSavePwd();
  if (!verify) return true;
  return verify(saverWindow);
}

}  // namespace

TPasswordPlatform& SystemPasswordPlatform() {
  static TAbsentPasswordPlatform platform;
  return platform;
}

bool VerifyPassword(platform::WindowId saverWindow, TCursorSwitch& cursor,
                    TPasswordPlatform& passwords) {
  try {
    TNewRegistry registry;  // closed on every way out, after the cursor is hidden
    if (!registry.OpenPath(PasswordSettingsKey, false)) return true;
    const TCursorShownWhileChecking shown(cursor);
    if (registry.GetInteger(PasswordSettingsValue) == 0) return true;
    return AskPlatform(saverWindow, passwords);
  } catch (...) {  // a fault never keeps the user in the saver
    return true;
  }
}

void ChangePassword(platform::WindowId parent, TPasswordPlatform& passwords) {
  const std::unique_ptr<TPasswordLibrary> library = passwords.LoadChangeLibrary();
  if (!library) return;
  if (const TPwdChangePassword change = library->FindPwdChangePassword()) {
    change(PasswordProviderName, parent, 0, 0);
  }
}
