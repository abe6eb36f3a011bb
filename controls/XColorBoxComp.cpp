#include "controls/XColorBoxComp.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "controls/XColorBoxUnit.h"

namespace {

TColorBoxForm* SharedForm = nullptr;

// Runs while the application object is being destroyed, before the window
// system goes: a window must not outlive it.
void DestroyColorDialogForm() {
  delete SharedForm;
  SharedForm = nullptr;
}

TColorBoxForm& MakeColorDialogForm() {
  if (!SharedForm) {
    SharedForm = new TColorBoxForm(nullptr);
    qAddPostRoutine(DestroyColorDialogForm);
    // Centred on the screen as it is now; later runs keep where it was moved.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->geometry();
      SharedForm->move(area.left() + (area.width() - SharedForm->width()) / 2,
                       area.top() + (area.height() - SharedForm->height()) / 2);
    }
  }
  return *SharedForm;
}

}  // namespace

TColorBoxForm* ColorDialogForm() {
  return SharedForm;
}

TColorBox::TColorBox(QObject* owner) : QObject(owner) {}

bool TColorBox::Execute() {
  TColorBoxForm& form = MakeColorDialogForm();
  form.setWindowTitle(FCaption);
  form.SetCurrentColor(FColor);
  // The one window serves every opener: for this run it is transient for
  // the window of the widget that opened it, so that window managers keep it
  // above that window (and above a full-screen saver the opener stays on top
  // of) and give it the focus. It is not made that window's child, which
  // would end it with its opener.
  auto* opener = qobject_cast<QWidget*>(parent());
  form.winId();
  QWindow* const window = form.windowHandle();
  window->setTransientParent(opener != nullptr ? opener->window()->windowHandle() : nullptr);
  const bool accepted = form.exec() == QDialog::Accepted;
  window->setTransientParent(nullptr);
  if (!accepted) return false;
  FColor = form.CurrentColor();
  return true;
}
