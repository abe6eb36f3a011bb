// Draws the setup dialog, as a fresh installation shows it, on the offscreen
// platform into a PNG file. The user's settings are never read or written:
//   QT_QPA_PLATFORM=offscreen setup_screenshot docs/setup.png
#include <QApplication>
#include <QFontDatabase>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "platform/registry/HiveRegistry.h"
#include "platform/registry/UserRegistry.h"
#include "settings/GlobalsUnit.h"
#include "setup/SetupUnit.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  QGuiApplication::setApplicationDisplayName("Lettrance");
  platform::HiveRegistry registry(std::make_unique<platform::MemoryHiveStorage>());
  platform::SetUserRegistry(&registry);
  SetInstalledFontsProvider([] {
    std::vector<std::string> fonts{"Default"};
    for (const QString& family : QFontDatabase::families()) fonts.push_back(family.toStdString());
    return fonts;
  });
  StoredVersion = ProgramVersion;
  // The defaults, in a face every installation has (fonts-dejavu-core).
  TGlobals shown = DefaultGlobals();
  shown.FontName = "DejaVu Sans";
  SaveGlobals(shown);

  const QString output = QString::fromLocal8Bit(argv[1]);
  bool saved = false;
  TSetupForm form;
  QTimer::singleShot(0, &form, [&] {
    saved = form.grab().save(output, "PNG");
    form.reject();
  });
  form.exec();
  platform::SetUserRegistry(nullptr);
  if (!saved) {
    std::fprintf(stderr, "could not save %s\n", argv[1]);
    return 1;
  }
  return 0;
}
