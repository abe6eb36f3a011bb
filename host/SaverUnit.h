#pragma once
// TSaverForm: the full-screen window of the running screen saver. It covers
// the primary screen, stays on top, hides the cursor, takes all mouse and
// keyboard input, draws the animation frame by frame and closes on input
// (asking for the password first where the platform wants one).

#include <QEvent>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "engine/QtSurface.h"
#include "host/FrameDriver.h"
#include "host/PasswordUnit.h"
#include "platform/x11/X11WindowPut.h"
#include "settings/GlobalsUnit.h"

class TAdvTimer;

// A saver the user left the computer to (input asks for the password where
// the platform wants one), or a test run from the setup dialog (S or any
// input ends it, no password).
enum TSaverRole { srSaver, srTest };

// The saver window's own posted events.
inline constexpr QEvent::Type WM_NEXTFRAME = static_cast<QEvent::Type>(QEvent::User + 1);
inline constexpr QEvent::Type WM_CLOSEREQUEST = static_cast<QEvent::Type>(QEvent::User + 2);

// Mouse moves still to be ignored (after the setup dialog or a password
// check, the pointer may jump).
extern int IgnoreMoves;

class TSaverForm : public QWidget, public TCursorSwitch, public FrameTarget {
  Q_OBJECT
 public:
  // Shows the animation with `settings`, this run's copy: nothing here
  // stores them.
  explicit TSaverForm(const TGlobals& settings, TSaverRole role = srSaver,
                      QWidget* parent = nullptr);
  ~TSaverForm() override;

  // The desktop as it was at start, drawn under the letters when the
  // settings ask for it; set before the window is shown. Not owned.
  void SetDesktop(const Picture* desktop) { FDesktop = desktop; }

  // Opens the setup dialog over the running saver; returns the settings it
  // saved when it was confirmed, nothing when it was cancelled. Without one,
  // S does nothing.
  std::function<std::optional<TGlobals>(TSaverForm&)> OpenSetupDialog;

  // Where the password check asks; the platform's own by default.
  TPasswordPlatform* Passwords;

  void ShowCursor(bool visible) override;
  bool Closed() const { return FClosed; }
  int Frames() const { return FDriver.Frames(); }
  const TGlobals& Settings() const { return FSettings; }
  const TSaverAni& Animation() const { return FDriver.Animation(); }

 private:
  TFrameDriver FDriver;  // made before the timer below, which is its own

 public:
  TAdvTimer* const IdleAdvTimer;  // the frame timer

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  void ShowFrame(const QImage& frame, const QRegion& changed) override;

 private:
  void FormActivate();
  void FormKeyDown(int key);
  void FormMouseMove(int x, int y);
  void FormClose();
  void TryClose();
  void StartAnimation();
  void GrabInput();

  // Sends the changed places of `frame` to the X server ourselves; false
  // when that cannot be done here (then Qt paints them).
  bool PutChangedPlaces(const QImage& frame, const QRegion& changed);

  TGlobals FSettings;
  const TSaverRole FRole;
  const Picture* FDesktop = nullptr;
  bool FFirstActivate = true;
  int FGrabAttempts = 0;
  bool FClosed = false;
  int FLastX = -1;
  int FLastY = -1;
  const QImage* FFrame = nullptr;  // the frame being painted, while painting
  // The window shows something other than the last frame (nothing yet, black
  // after an expose, a new size): the next frame is painted whole.
  bool FWholeFrameDue = true;
  bool FPaintingFirstFrame = false;
  // For measuring: LETTRANCE_WHOLE_FRAMES=1 paints every frame whole.
  bool FAlwaysWhole = false;
  std::unique_ptr<platform::X11WindowPut> FDirectPut;
};
