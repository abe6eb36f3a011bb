#include "engine/QtSurface.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Beyond this many letters per frame a full restore is as cheap.
constexpr size_t kMaxTouched = 512;
constexpr QRgb kOpaqueBlack = 0xFF000000;

QColor ToQColor(TColor c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QString Letters(std::u32string_view text) {
  return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

QFont DefaultFont() {
  return QGuiApplication::font();
}

// The turn of a letter about its top-left point (x, y); positive angles turn
// counter-clockwise on the screen, whose y axis points down.
QTransform Turn(int32_t x, int32_t y, int32_t angle) {
  QTransform turn;
  turn.translate(x, y);
  turn.rotate(-angle / 10.0);
  return turn;
}

}  // namespace

Picture::Picture(const QImage& image) : image_(image.convertToFormat(QImage::Format_RGB32)) {}

void ImageSink::ShowFrame(const QImage& frame) {
  // Reuse the sink's own pixels: one copy, no allocation per frame.
  if (frame_.size() != frame.size() || frame_.format() != frame.format()) {
    frame_ = QImage(frame.size(), frame.format());
  }
  if (frame_.bytesPerLine() == frame.bytesPerLine()) {
    std::memcpy(frame_.bits(), frame.constBits(), static_cast<size_t>(frame.sizeInBytes()));
  } else {
    frame_ = frame.copy();
  }
  ++frames_;
}

QtSurface::QtSurface(int32_t width, int32_t height)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32), font_(DefaultFont()) {
  image_.fill(Qt::black);
  SetFontSize(0);
}

QtSurface::~QtSurface() {
  EndPainting();
}

int QtSurface::PixelSizeForPoints(int32_t points) {
  // A hand-edited size can be absurd: keep the pixel size a positive int.
  constexpr double kLargestPixelSize = 1 << 20;
  if (points > 0)
    return static_cast<int>(std::lround(std::min(points * 96.0 / 72.0, kLargestPixelSize)));
  const QFont standard = DefaultFont();
  if (standard.pixelSize() > 0) return standard.pixelSize();
  return std::max(1, static_cast<int>(std::lround(standard.pointSizeF() * 96.0 / 72.0)));
}

void QtSurface::SetFontFace(const std::string& face) {
  // "Default" names the toolkit's own face.
  font_ = face.empty() || face == "Default" ? DefaultFont() : QFont(QString::fromStdString(face));
  font_.setPixelSize(pixelSize_ > 0 ? pixelSize_ : PixelSizeForPoints(0));
  metrics_.clear();
}

void QtSurface::SetFontSize(int32_t points) {
  pixelSize_ = PixelSizeForPoints(points);
  if (font_.pixelSize() != pixelSize_) font_.setPixelSize(pixelSize_);
  angle_ = 0;
}

void QtSurface::SetFontAngle(int32_t tenthsOfDegree) {
  angle_ = tenthsOfDegree;
}

void QtSurface::SetFontColor(TColor color) {
  color_ = ToQColor(color);
}

QtSurface::SizeMetrics& QtSurface::Metrics() {
  auto& slot = metrics_[pixelSize_];
  if (!slot) slot = std::make_unique<SizeMetrics>(font_);
  return *slot;
}

const QtSurface::LetterMetrics& QtSurface::Letter(char32_t letter) {
  SizeMetrics& size = Metrics();
  const auto found = size.letters.find(letter);
  if (found != size.letters.end()) return found->second;
  const QString text = Letters(std::u32string_view(&letter, 1));
  const QFontMetrics& m = size.metrics;
  const TextExtent extent{m.horizontalAdvance(text), m.ascent() + m.descent()};
  // Ink relative to the baseline, moved to the top-left reference point.
  const QRect ink = m.boundingRect(text).translated(0, m.ascent());
  const int margin = 2 + pixelSize_ / 8;
  const QRect reach = ink.united(QRect(0, 0, extent.Width, extent.Height))
                          .adjusted(-margin, -margin, margin, margin);
  return size.letters.emplace(letter, LetterMetrics{extent, reach}).first->second;
}

TextExtent QtSurface::MeasureText(std::u32string_view text) {
  if (text.size() == 1) return Letter(text[0]).extent;
  const QFontMetrics& m = Metrics().metrics;
  return TextExtent{m.horizontalAdvance(Letters(text)), m.ascent() + m.descent()};
}

QPainter& QtSurface::Painter() {
  if (!painter_) {
    painter_.emplace(&image_);
    painter_->setRenderHint(QPainter::TextAntialiasing);
    painter_->setBackgroundMode(Qt::TransparentMode);
  }
  return *painter_;
}

void QtSurface::EndPainting() {
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
}

void QtSurface::DrawLetter(int32_t x, int32_t y, char32_t letter) {
  const LetterMetrics& metrics = Letter(letter);
  const bool turned = angle_ % 3600 != 0;
  const QTransform turn = Turn(x, y, angle_);
  const QRect reach =
      turned ? turn.mapRect(metrics.reach).adjusted(-1, -1, 1, 1) : metrics.reach.translated(x, y);
  // A letter that cannot touch the surface costs nothing.
  if (!reach.intersects(image_.rect())) return;
  if (touched_.size() < kMaxTouched) {
    touched_.push_back(reach & image_.rect());
  } else {
    touchedEverywhere_ = true;
  }

  QPainter& painter = Painter();
  if (painter.font() != font_) painter.setFont(font_);
  if (painter.pen().color() != color_) painter.setPen(color_);
  const QString text = Letters(std::u32string_view(&letter, 1));
  const int ascent = Metrics().metrics.ascent();
  if (!turned) {
    painter.drawText(QPointF(x, y + ascent), text);
    return;
  }
  painter.setTransform(turn);
  painter.drawText(QPointF(0, ascent), text);
  painter.resetTransform();
}

bool QtSurface::CanRestorePartly(Base base, const QImage* picture) const {
  if (!partialRestore_ || touchedEverywhere_ || base != base_) return false;
  if (base == Base::Picture) {
    return picture == basePicture_ && picture->cacheKey() == basePictureKey_;
  }
  return true;
}

void QtSurface::CopyRect(const QImage& source, const QRect& rect) {
  const QRect area = rect & source.rect();
  const size_t bytes = static_cast<size_t>(area.width()) * 4;
  for (int row = area.top(); row <= area.bottom(); ++row) {
    std::memcpy(image_.scanLine(row) + area.left() * 4, source.constScanLine(row) + area.left() * 4,
                bytes);
  }
  // Outside a smaller picture the surface stays black.
  for (const QRect& outside : QRegion(rect).subtracted(QRegion(area))) {
    for (int row = outside.top(); row <= outside.bottom(); ++row) {
      auto* pixels = reinterpret_cast<QRgb*>(image_.scanLine(row)) + outside.left();
      std::fill_n(pixels, outside.width(), kOpaqueBlack);
    }
  }
}

void QtSurface::FillBlack() {
  EndPainting();
  if (CanRestorePartly(Base::Black, nullptr)) {
    for (const QRect& rect : touched_) {
      for (int row = rect.top(); row <= rect.bottom(); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(image_.scanLine(row)) + rect.left();
        std::fill_n(pixels, rect.width(), kOpaqueBlack);
      }
    }
  } else {
    image_.fill(Qt::black);
  }
  base_ = Base::Black;
  touched_.clear();
  touchedEverywhere_ = false;
}

void QtSurface::CopyBackground(const Picture& picture) {
  EndPainting();
  const QImage& source = picture.Image();
  if (CanRestorePartly(Base::Picture, &source)) {
    for (const QRect& rect : touched_) CopyRect(source, rect);
  } else {
    CopyRect(source, image_.rect());
  }
  base_ = Base::Picture;
  basePicture_ = &source;
  basePictureKey_ = source.cacheKey();
  touched_.clear();
  touchedEverywhere_ = false;
}

void QtSurface::HandOver(FrameTarget* target) {
  EndPainting();
  if (target != nullptr) target->ShowFrame(image_);
}

SurfaceFactory QtSurfaceFactory() {
  return [](int32_t width, int32_t height) { return std::make_unique<QtSurface>(width, height); };
}
