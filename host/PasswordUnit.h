#pragma once
// The screen-saver password. It belongs to the platform: the program asks the
// platform's dialogs, when the platform has them, and never keeps the user in
// the saver because of a fault.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/x11/ForeignWindow.h"

// Shows and hides the mouse cursor; the saver window hides it while it runs.
class TCursorSwitch {
 public:
  virtual ~TCursorSwitch() = default;
  virtual void ShowCursor(bool visible) = 0;
};

// The verify dialog: asks for the password with `parent` as owner; true when
// the saver may close. May raise.
using TVerifyScreenSavePwd = std::function<bool(platform::WindowId parent)>;
// The change dialog: provider key name, parent window and two reserved zeros.
using TPwdChangePassword =
    std::function<void(const std::string& provider, platform::WindowId parent, int32_t, int32_t)>;

// A loaded library of the platform's password dialogs; destroying it unloads
// the library.
class TPasswordLibrary {
 public:
  virtual ~TPasswordLibrary() = default;
  // Empty when the library lacks the entry point.
  virtual TVerifyScreenSavePwd FindVerifyScreenSavePwd() = 0;
  virtual TPwdChangePassword FindPwdChangePassword() = 0;
};

// Where the password libraries come from.
class TPasswordPlatform {
 public:
  virtual ~TPasswordPlatform() = default;
  // The verify dialog's library ("PASSWORD.CPL" where it exists); null when
  // it cannot be loaded.
  virtual std::unique_ptr<TPasswordLibrary> LoadVerifyLibrary() = 0;
  // The change dialog's library ("MPR.DLL" where it exists); null when it
  // cannot be loaded.
  virtual std::unique_ptr<TPasswordLibrary> LoadChangeLibrary() = 0;
};

// This desktop has no screen-saver password of its own (the session's screen
// locker owns locking): both libraries are absent.
TPasswordPlatform& SystemPasswordPlatform();

// The registry key and value that switch the password on (non-zero).
extern const char* const PasswordSettingsKey;    // "Control Panel\Desktop"
extern const char* const PasswordSettingsValue;  // "ScreenSaveUsePassword"
// The provider key name the change dialog is given.
extern const char* const PasswordProviderName;  // "SCRSAVE"

// Whether the saver may close. Asks the verify dialog only when the password
// is switched on; the cursor is visible while asking and hidden again after.
// Every failure answers that the saver may close.
bool VerifyPassword(platform::WindowId saverWindow, TCursorSwitch& cursor,
                    TPasswordPlatform& passwords = SystemPasswordPlatform());

// Shows the platform's change dialog and returns when it is closed; does
// nothing when the platform has none.
void ChangePassword(platform::WindowId parent,
                    TPasswordPlatform& passwords = SystemPasswordPlatform());
