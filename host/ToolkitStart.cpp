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
  const std::string message = NoDisplayMessage(std::getenv("DISPLAY"));
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

std::unique_ptr<QApplication> StartToolkit(int& argc, char** argv, bool hosted) {
  const QtMessageHandler previous = qInstallMessageHandler(WhileStarting);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  for (const THeldMessage& message : HeldMessages()) {
    if (hosted && ToldNothingInHost(message.Text)) continue;
    std::fprintf(stderr, "%s\n", message.Formatted.c_str());
  }
  HeldMessages().clear();
  return app;
}
