#include "host/ProgramEntry.h"

#include <QApplication>
#include <QFontDatabase>
#include <cstdlib>
#include <iostream>

#include "engine/QtSurface.h"
#include "host/HostedMode.h"
#include "host/LongOptions.h"
#include "host/MonitorCover.h"
#include "host/PasswordUnit.h"
#include "host/PreviewLoop.h"
#include "host/SaverUnit.h"
#include "host/SetupHooks.h"
#include "host/ToolkitStart.h"
#include "platform/DesktopSnapshot.h"
#include "platform/RandomNumbers.h"
#include "platform/ScreenMetrics.h"
#include "platform/SingleInstance.h"
#include "platform/wayland/WaylandToolkit.h"
#include "platform/x11/ForeignWindow.h"
#include "platform/x11/Monitors.h"
#include "settings/GlobalsUnit.h"
#include "settings/XExeCounterUnit.h"
#include "settings/XShortcutUnit.h"
#include "setup/SetupUnit.h"
#include "setup/XAboutBoxUnit.h"

namespace {

std::vector<std::string> InstalledFonts() {
  std::vector<std::string> fonts{"Default"};
  for (const QString& family : QFontDatabase::families()) fonts.push_back(family.toStdString());
  return fonts;
}

// The first start of this version puts the program into the applications
// menu and introduces it.
void CountStart() {
  if (CheckExeCounter(SettingsKeyPath, ProgramVersion) > 0) return;
  CreateShortcut("Lettrance", QCoreApplication::applicationFilePath().toStdString(), {},
                 "Vandor\\Screensaver", true);
  ShowAboutBox(qApp);
}

// The desktop as it is now, asked of the X server before any window of ours
// covers it, and received only when a frame needs it.
std::unique_ptr<Picture> TakeDesktopBitmap() {
  const platform::ScreenSize screen = platform::PrimaryScreenSize();
  return std::make_unique<Picture>(
      platform::StartDesktopSnapshot(QSize(screen.Width, screen.Height)));
}

// The application title, without Qt appending it to every window title
// (the setup dialog must read "Lettrance Setup" alone).
void SetApplicationTitle() {
  QApplication::setApplicationName(QStringLiteral("Lettrance"));
}

int RunSetup() {
  const std::unique_ptr<Picture> desktop = TakeDesktopBitmap();
  // The dialog is the main window: the program ends when it closes.
  TSetupForm setup;
  setup.StartTestSaver = [&desktop](const TGlobals& settings) {
    RunTestSaver(settings, desktop.get());
  };
  setup.exec();
  return 0;
}

int RunSaver(QApplication& app, const TGlobals& settings) {
  // The X server copies the snapshot for a while and answers nothing else
  // meanwhile: what waits for its answers comes first (the monitors, the
  // saver's window made but not shown), so that the rest of the start runs
  // while it copies.
  const std::vector<QRect> otherMonitors = platform::OtherMonitors();
  std::unique_ptr<Picture> desktop;  // outlives the saver that draws over it
  TSaverForm saver(settings);
  saver.OpenSetupDialog = OpenSetupDialogOverSaver;
  saver.winId();  // made now, shown below
  // On Wayland the picture is a run of grim before anything shows: taken
  // only when the settings draw it.
  if (settings.DesktopFlag || !platform::ToolkitOnWayland()) desktop = TakeDesktopBitmap();
  saver.SetDesktop(desktop.get());
  MonitorCover covers(saver, otherMonitors);  // black over the others
  saver.show();
  return app.exec();
}

// This run's settings: the stored ones with the command line's on top.
TGlobals RunSettings(const TSettingsOverrides& overrides, TSettingsWrites writes) {
  TGlobals settings;
  LoadGlobals(settings, writes);
  overrides.ApplyTo(settings, InstalledFonts());
  return settings;
}

}  // namespace

int RunProgram(int argc, char** argv) {
  const TStartOptions options = ParseStartOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!options.Error.empty()) {
    std::cerr << "lettrance: " << options.Error << std::endl;
    return BadCommandLineExitCode;
  }
  if (options.Help) {
    std::cout << HelpText();
    return 0;
  }
  if (options.Version) {
    std::cout << VersionText();
    return 0;
  }
  const char* variable = std::getenv("XSCREENSAVER_WINDOW");
  const THosting hosting = DecideHosting(
      options, variable != nullptr ? std::optional<std::string>(variable) : std::nullopt);
  if (!hosting.Error.empty()) {
    std::cerr << "lettrance: " << hosting.Error << std::endl;
    return BadCommandLineExitCode;
  }
  const TCommandLine& command = options.Mode;
  const TRunMode mode = hosting.Hosted ? rmRun : command.RunMode;
  if (mode == rmChangePassword) {
    ChangePassword(command.Window);
    return 0;
  }

  // The toolkit is needed from here on (the about box of a first start). The
  // title is set before any window can appear: that box names the program
  // by it, and would otherwise show the program file's name.
  const TToolkitUse use = hosting.Hosted      ? tuHosted
                          : mode == rmPreview ? tuPreview
                          : mode == rmRun     ? tuFullScreen
                                              : tuOwnWindows;
  const std::unique_ptr<QApplication> toolkit = StartToolkit(argc, argv, use);
  if (toolkit == nullptr) return NoDisplayExitCode;
  QApplication& app = *toolkit;
  SetApplicationTitle();
  SetInstalledFontsProvider(InstalledFonts);
  // A host's window: no counting, no menu entry, no about box, no lock (one
  // copy runs per monitor, and an old copy may still be ending). Like
  // previews, it shows the stored settings as they are and writes nothing.
  if (hosting.Hosted) {
    platform::Randomize();
    return RunHosted(hosting.Window, RunSettings(options.Overrides, swNever));
  }
  if (mode == rmConfigure || mode == rmRun) CountStart();

  platform::SingleInstanceGuard guard("ScreenSaverSemaphore");
  if (guard.State() == platform::SingleInstanceGuard::TState::OtherCopyRuns) return 0;
  platform::Randomize();

  if (mode == rmPreview) {
    // Previews are not counted and never migrate the settings (that would
    // record this version and hide the next start's first-start greeting):
    // they show the stored settings as they are.
    platform::X11ForeignWindows windows;
    return RunPreview(command.Window, windows, RunSettings(options.Overrides, swNever));
  }
  if (mode == rmConfigure) return RunSetup();
  return RunSaver(app, RunSettings(options.Overrides, swMigrate));
}
