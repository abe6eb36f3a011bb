#include "setup/XKeyInfoComp.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QtMath>

#include "resources/LettranceResources.h"

namespace {

constexpr int kKeyWidth = 32;
constexpr int kKeyHeight = 24;
// The key's top face, on which the letter is centred, is its upper part.
constexpr int kTopFaceHeight = 18;
constexpr int kTextLeft = 34;

// The key picture with its background colour (the colour of its top-left
// pixel) made transparent, so it shows the control's colour through.
QImage CutOut(const QImage& picture) {
  if (picture.isNull()) return {};
  QImage key = picture.convertToFormat(QImage::Format_ARGB32);
  const QRgb background = key.pixel(0, 0);
  for (int y = 0; y < key.height(); ++y) {
    for (int x = 0; x < key.width(); ++x) {
      if (key.pixel(x, y) == background) key.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
  }
  return key;
}

// The key pictures are decoded once per run and shared by all controls; the
// twice-sized ones keep their device pixel ratio, and so take the same room.
const QImage& KeyPicture(int screenDepth, qreal ratio) {
  static const QImage fewColours = CutOut(resources::LoadBitmap("EMPTYKEYBITMAPWIN", 1));
  static const QImage manyColours = CutOut(resources::LoadBitmap("EMPTYKEYBITMAPPAL", 1));
  static const QImage fewColoursSharp = CutOut(resources::LoadBitmap("EMPTYKEYBITMAPWIN", 2));
  static const QImage manyColoursSharp = CutOut(resources::LoadBitmap("EMPTYKEYBITMAPPAL", 2));
  if (ratio > 1) return screenDepth < 15 ? fewColoursSharp : manyColoursSharp;
  return screenDepth < 15 ? fewColours : manyColours;
}

QFont RegularFont() {
  QFont font = QApplication::font();
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace

TKeyInfo::TKeyInfo(QWidget* parent, int screenDepth)
    : QWidget(parent),
      FScreenDepth(screenDepth),
      FColor(palette().color(QPalette::Button)),
      FFont1{RegularFont(), Qt::black},
      FFont2{RegularFont(), palette().color(QPalette::ButtonText)} {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(121, 25);
}

int TKeyInfo::ScreenDepth() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->depth() : 32;
}

void TKeyInfo::SetColor(const QColor& color) {
  if (color == FColor) return;
  FColor = color;
  update();
}

void TKeyInfo::SetFont1(const TKeyInfoFont& font) {
  FFont1 = font;
  update();
}

void TKeyInfo::SetFont2(const TKeyInfoFont& font) {
  FFont2 = font;
  update();
}

void TKeyInfo::SetCaption(const QString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  update();
}

void TKeyInfo::SetText(const QString& text) {
  if (text == FText) return;
  FText = text;
  update();
}

void TKeyInfo::paintEvent(QPaintEvent*) {
  // Built off-screen and copied in one step, so the control never flickers;
  // at the screen's density, so that the letters stay sharp on it.
  const QImage image = Render(devicePixelRatioF());
  if (image.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

QImage TKeyInfo::Render(qreal ratio) const {
  if (width() <= 0 || height() <= 0) return {};
  QImage image(QSize(qCeil(width() * ratio), qCeil(height() * ratio)), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(FColor);
  QPainter painter(&image);
  painter.drawImage(0, 0, KeyPicture(FScreenDepth, ratio));

  const QFontMetrics letter(FFont1.Font);
  const int letterLeft = (kKeyWidth - letter.horizontalAdvance(FCaption)) / 2;
  const int letterTop = (kTopFaceHeight - letter.height()) / 2;
  painter.setClipRect(QRect(0, 0, kKeyWidth, kKeyHeight));
  painter.setFont(FFont1.Font);
  painter.setPen(FFont1.Color);
  painter.drawText(QPoint(letterLeft, letterTop + letter.ascent()), FCaption);

  const QFontMetrics text(FFont2.Font);
  const int textTop = (kKeyHeight - text.height()) / 2;
  painter.setClipRect(rect());
  painter.setFont(FFont2.Font);
  painter.setPen(FFont2.Color);
  painter.drawText(QPoint(kTextLeft, textTop + text.ascent()), FText);
  return image;
}
