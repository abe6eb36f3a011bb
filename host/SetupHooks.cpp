#include "host/SetupHooks.h"

#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

#include "host/SaverUnit.h"
#include "platform/wayland/WaylandWindows.h"
#include "setup/SetupUnit.h"

namespace {

// Ends a local event loop when the watched window is hidden (closed).
class HideWatcher : public QObject {
 public:
  explicit HideWatcher(QEventLoop& loop) : FLoop(loop) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide) FLoop.quit();
    return QObject::eventFilter(watched, event);
  }

 private:
  QEventLoop& FLoop;
};

}  // namespace

void RunTestSaver(const TGlobals& settings, const Picture* desktop) {
  // Owned by nobody but this call: it is destroyed when the modal run ends.
  TSaverForm saver(settings, srTest);
  saver.SetDesktop(desktop);
  saver.setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  HideWatcher watcher(loop);
  saver.installEventFilter(&watcher);
  saver.show();
  if (!saver.Closed() && saver.isVisible()) loop.exec();
}

std::optional<TGlobals> OpenSetupDialogOverSaver(TSaverForm& saver) {
  // A child window of the saver: window managers keep it above its
  // full-screen, always-on-top parent.
  TSetupForm dialog(&saver);
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
  dialog.SetFromSaver(true);
  QTimer::singleShot(0, &dialog, [&dialog] {
    if (QWindow* window = dialog.windowHandle()) platform::AskForFocus(*window);
  });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Settings();
}
