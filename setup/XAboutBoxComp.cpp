#include "setup/XAboutBoxComp.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "controls/XLinkComp.h"
#include "setup/XAboutBoxUnit.h"

namespace {

// Centres a window on the primary screen by its outer size.
void CentreOnScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QRect outer = window.frameGeometry();
  window.move(area.x() + (area.width() - outer.width()) / 2,
              area.y() + (area.height() - outer.height()) / 2);
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
  // A window of its own, not of the owner: the box is also shown before the
  // program has any other window.
  TAboutBoxForm form;
  CentreOnScreen(form);
  // The window frame is known only once the window is on screen: centre
  // again by the real outer size.
  QMetaObject::invokeMethod(
      &form, [&form] { CentreOnScreen(form); }, Qt::QueuedConnection);
  FillForm(form);
  return form.exec() == QDialog::Accepted;
}
