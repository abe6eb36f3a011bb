#include "controls/XLinkComp.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPalette>

TLink::TLink(QWidget* parent)
    : QLabel(parent), FUrlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  QPalette linkPalette = palette();
  linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  setPalette(linkPalette);
  QFont linkFont = font();
  linkFont.setUnderline(true);
  setFont(linkFont);
  setCursor(Qt::PointingHandCursor);
  // An address is shown as it is, never interpreted as markup.
  setTextFormat(Qt::PlainText);
}

void TLink::SetUrlOpener(UrlOpener opener) {
  if (opener) FUrlOpener = std::move(opener);
}

QUrl TLink::TargetUrl() const {
  if (FURLString.trimmed().isEmpty()) return {};
  return QUrl::fromUserInput(FURLString);
}

void TLink::Click() {
  if (OnClick) OnClick();
  const QUrl url = TargetUrl();
  // Nothing to tell the user when the desktop has no handler: the label
  // simply stays as it is.
  if (url.isValid()) FUrlOpener(url);
}

void TLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
  // Taking the press keeps the release coming to this label.
  FPressed = true;
  event->accept();
}

void TLink::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QLabel::mouseReleaseEvent(event);
  // A click is a left press and release inside the label; moving off the
  // label before releasing cancels it, as with a button.
  const bool clicked = FPressed && rect().contains(event->position().toPoint());
  FPressed = false;
  event->accept();
  if (clicked) Click();
}
