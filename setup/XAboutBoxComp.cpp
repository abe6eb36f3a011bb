#include "setup/XAboutBoxComp.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include "controls/XLinkComp.h"
#include "platform/x11/FrameExtentsWatch.h"
#include "setup/XAboutBoxUnit.h"

namespace {

// Centres a window on the primary screen by its outer size: its own size
// grown by `frame`. Placed by its inner rectangle, so that the toolkit's
// older idea of the frame does not come into it.
void CentreOnScreen(QWidget& window, const QMargins& frame) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QSize outer = window.size().grownBy(frame);
  const QPoint inner(area.x() + (area.width() - outer.width()) / 2 + frame.left(),
                     area.y() + (area.height() - outer.height()) / 2 + frame.top());
  window.setGeometry(QRect(inner, window.size()));
}

// By the frame the toolkit knows of (none before the window is shown).
void CentreOnScreen(QWidget& window) {
  const QWindow* handle = window.windowHandle();
  CentreOnScreen(window, handle != nullptr ? handle->frameMargins() : QMargins());
}

// The application's title: the name the program gave itself, else the one
// derived from the program file.
QString ApplicationTitle() {
  const QString title = QGuiApplication::applicationDisplayName();
  return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

}  // namespace

TAboutBox::TAboutBox(QObject* owner) : QObject(owner) {}

void TAboutBox::FillForm(TAboutBoxForm& form) const {
  form.ProductImage->setPixmap(QPixmap::fromImage(FBitmap));
  form.ProductLabel->setText(FProduct.isEmpty() ? ApplicationTitle() : FProduct);
  form.VersionLabel->setText(FVersion);
  form.CopyrightLabel->setText(QStringLiteral("\u00A9 ") + FCopyright);
  form.CompanyLink->setText(FLink);
  form.CompanyLink->SetURLString(FLink);
  form.InfoLabel->setText(FInfoText);
}

bool TAboutBox::Execute() {
  // Opened from a window, the box belongs to that window: window managers
  // keep it above its opener (also above a full-screen saver the opener
  // stays on top of) and give it the focus. Opened by the application (a
  // first start, before any other window), it stands alone.
  auto* opener = qobject_cast<QWidget*>(parent());
  TAboutBoxForm form(opener != nullptr ? opener->window() : nullptr);
  form.winId();  // the native window, to be watched from the start
  CentreOnScreen(form);
  // The window frame is known only once the window is on screen, and a
  // window manager may tell its size later still: centre again each time.
  QMetaObject::invokeMethod(
      &form, [&form] { CentreOnScreen(form); }, Qt::QueuedConnection);
  const platform::FrameExtentsWatch frameWatch(
      *form.windowHandle(), [&form](QMargins frame) { CentreOnScreen(form, frame); });
  FillForm(form);
  return form.exec() == QDialog::Accepted;
}
