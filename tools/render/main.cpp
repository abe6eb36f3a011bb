// lettrance-render: the animation's frames as PNG files, without a display.
#include <QGuiApplication>
#include <iostream>
#include <string>
#include <vector>

#include "tools/render/RenderOptions.h"
#include "tools/render/Renderer.h"

int main(int argc, char* argv[]) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Help and option errors need no display connection.
  const ParsedOptions parsed = ParseRenderOptions(args);
  if (!parsed.Error.empty() || parsed.Options.Help) return RenderMain(args, std::cout, std::cerr);

  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return RenderMain(args, std::cout, std::cerr);
}
