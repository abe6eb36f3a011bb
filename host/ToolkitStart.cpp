#include "host/ToolkitStart.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Messages the toolkit gives while it starts: held back, because when it
// cannot start they only repeat, less clearly, what our own message says.
struct THeldMessage {
  std::string Text;       // as given
  std::string Formatted;  // as printed
};
std::vector<THeldMessage>& HeldMessages() {
  static std::vector<THeldMessage> held;
  return held;
}

void WhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    HeldMessages().push_back(
        {text.toStdString(), qFormatLogMessage(type, context, text).toStdString()});
    return;
  }
  // The toolkit would abort next; end the way a missing display should.
  const TSessionDisplays session = CurrentSessionDisplays();
  const std::string message =
      session.QtPlatform.starts_with("wayland")
          ? "lettrance: cannot connect to the Wayland display \"" + session.Wayland + "\""
          : NoDisplayMessage(std::getenv("DISPLAY"));
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  std::_Exit(NoDisplayExitCode);
}

}  // namespace

std::string NoDisplayMessage(const char* display) {
  const std::string which = display == nullptr || display[0] == '\0'
                                ? std::string(" (DISPLAY is not set)")
                                : " \"" + std::string(display) + "\"";
  return "lettrance: cannot open the display" + which +
         "; the screen saver needs a running X server";
}

bool ToldNothingInHost(std::string_view message) {
  return message.starts_with("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to ");
}

TToolkitPlatform ChooseToolkitPlatform(TToolkitUse use, const TSessionDisplays& session) {
  TToolkitPlatform choice;
  const bool wayland = !session.Wayland.empty();
  const bool x11 = !session.X11.empty();
  if ((use == tuPreview || use == tuHosted) && wayland && !x11) {
    choice.Error = std::string(use == tuPreview ? "/p draws into a settings tool's X11 window"
                                                : "--window-id, --root and XSCREENSAVER_WINDOW "
                                                  "draw into an X11 window") +
                   " and need X11, which this Wayland session does not offer (DISPLAY is not "
                   "set); run lettrance /s for the Wayland screen saver";
    return choice;
  }
  if (!session.QtPlatform.empty()) return choice;
  // XWayland stays the way out when Qt's Wayland plugin is not installed.
  if (use == tuFullScreen && wayland) choice.Platform = x11 ? "wayland;xcb" : "wayland";
  if ((use == tuPreview || use == tuHosted) && x11) choice.Platform = "xcb";
  return choice;
}

TSessionDisplays CurrentSessionDisplays() {
  const auto value = [](const char* name) {
    const char* text = std::getenv(name);
    return text != nullptr ? std::string(text) : std::string();
  };
  return TSessionDisplays{value("WAYLAND_DISPLAY"), value("DISPLAY"), value("QT_QPA_PLATFORM")};
}

std::unique_ptr<QApplication> StartToolkit(int& argc, char** argv, TToolkitUse use) {
  const TToolkitPlatform platform = ChooseToolkitPlatform(use, CurrentSessionDisplays());
  if (!platform.Error.empty()) {
    std::fprintf(stderr, "lettrance: %s\n", platform.Error.c_str());
    return nullptr;
  }
  if (!platform.Platform.empty()) setenv("QT_QPA_PLATFORM", platform.Platform.c_str(), 1);
  // The Wayland app_id, by which compositors and their rules know our windows.
  QGuiApplication::setDesktopFileName(QStringLiteral("lettrance"));
  const QtMessageHandler previous = qInstallMessageHandler(WhileStarting);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  for (const THeldMessage& message : HeldMessages()) {
    if (use == tuHosted && ToldNothingInHost(message.Text)) continue;
    std::fprintf(stderr, "%s\n", message.Formatted.c_str());
  }
  HeldMessages().clear();
  return app;
}
