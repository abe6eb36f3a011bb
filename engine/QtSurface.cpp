#include "engine/QtSurface.h"

#include <QGuiApplication>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "engine/ChangedPlaces.h"
#include "engine/LetterMask.h"
#include "platform/LargeImage.h"

namespace {

// Beyond this many letters per frame a full restore is as cheap.
constexpr size_t kMaxTouched = 512;
// Beyond this many changed places the whole frame is shown instead.
constexpr size_t kMaxChanged = 2 * kMaxTouched;
// Letters up to this many code points keep their measurements.
constexpr size_t kLongestCachedLetter = 32;
constexpr QRgb kOpaqueBlack = 0xFF000000;

QColor ToQColor(TColor c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QString ToQString(std::u32string_view text) {
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

Picture::Picture(std::function<QImage()> arriving) : arriving_(std::move(arriving)) {}

const QImage& Picture::Image() const {
  if (arriving_) {
    image_ = std::exchange(arriving_, nullptr)().convertToFormat(QImage::Format_RGB32);
  }
  return image_;
}

void ImageSink::ShowFrame(const QImage& frame, const QRegion& changed) {
  changed_ = changed;
  ++frames_;
  // Reuse the sink's own pixels: no allocation per frame, and only the
  // changed places copied, as a window would.
  const bool same = frame_.size() == frame.size() && frame_.format() == frame.format() &&
                    frame_.bytesPerLine() == frame.bytesPerLine();
  if (!same) {
    frame_ = frame.copy();
    return;
  }
  const int depth = frame.depth() / 8;
  for (const QRect& rect : changed& frame.rect()) {
    for (int row = rect.top(); row <= rect.bottom(); ++row) {
      std::memcpy(frame_.scanLine(row) + rect.left() * depth,
                  frame.constScanLine(row) + rect.left() * depth,
                  static_cast<size_t>(rect.width() * depth));
    }
  }
}

QtSurface::QtSurface(int32_t width, int32_t height, std::shared_ptr<LetterCache> letters)
    : image_(platform::NewLargeImage(QSize(std::max(width, 1), std::max(height, 1)),
                                     QImage::Format_RGB32)),
      font_(DefaultFont()),
      letters_(letters ? std::move(letters) : std::make_shared<LetterCache>()) {
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
  face_ = QString::fromStdString(face);
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

void QtSurface::SetSilhouette(bool on) {
  silhouette_ = on;
}

std::vector<size_t> QtSurface::LetterEnds(std::u32string_view text) {
  // The finder counts UTF-16 units; the engine counts code points.
  const QString units = ToQString(text);
  std::vector<size_t> ends;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, units);
  size_t codePoints = 0;
  qsizetype unit = 0;
  for (qsizetype next = finder.toNextBoundary(); next > 0; next = finder.toNextBoundary()) {
    for (; unit < next; ++unit) {
      if (!units[unit].isLowSurrogate()) ++codePoints;
    }
    ends.push_back(codePoints);
  }
  return ends;
}

LetterCache& QtSurface::Letters() {
  letters_->Select(face_, font_);
  return *letters_;
}

TextExtent QtSurface::MeasureText(std::u32string_view text) {
  LetterCache& letters = Letters();
  if (text.size() <= kLongestCachedLetter) return letters.Find(text).Extent;
  const QFontMetrics& m = letters.Metrics();
  return TextExtent{m.horizontalAdvance(ToQString(text)), m.ascent() + m.descent()};
}

QPainter& QtSurface::Painter() {
  if (!painter_) {
    painter_.emplace(&image_);
    painter_->setRenderHint(QPainter::TextAntialiasing);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform);
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

QRect QtSurface::Reach(const QRect& ink, int32_t x, int32_t y) const {
  if (ink.isEmpty()) return QRect();
  if (angle_ % 3600 == 0) return ink.translated(x, y).adjusted(-1, -1, 1, 1) & image_.rect();
  // A turned letter is drawn from its outline without the hinting of the
  // upright one it was measured as: allow for the difference.
  const int margin = 2 + pixelSize_ / 16;
  return Turn(x, y, angle_).mapRect(ink).adjusted(-margin, -margin, margin, margin) & image_.rect();
}

void QtSurface::Touch(const QRect& rect) {
  if (touched_.size() < kMaxTouched) {
    touched_.push_back(rect);
  } else {
    touchedEverywhere_ = true;
  }
  if (changed_.size() < kMaxChanged) {
    changed_.push_back(rect);
  } else {
    changedEverywhere_ = true;
  }
}

void QtSurface::DrawLetter(int32_t x, int32_t y, std::u32string_view letter) {
  if (letter.empty()) return;
  LetterCache& letters = Letters();
  LetterCache::Entry& entry = letters.Find(letter);
  const LetterShape& shape = letters.Shape(entry, letter);
  const QRect reach = Reach(shape.Ink, x, y);
  // A letter that cannot touch the surface (or has no ink) costs nothing.
  if (reach.isEmpty()) return;
  Touch(reach);

  const bool turned = angle_ % 3600 != 0;
  if (!turned && !(silhouette_ && shape.Coloured)) {
    if (const QImage* coverage = letters.Coverage(entry, letter)) {
      BlendCoverage(image_, QPoint(x, y) + shape.Ink.topLeft(), *coverage, color_.rgb());
      return;
    }
  }
  QPainter& painter = Painter();
  if (turned) painter.setTransform(Turn(x, y, angle_));
  const QPoint origin = turned ? QPoint(0, 0) : QPoint(x, y);
  if (silhouette_ && shape.Coloured) {
    painter.drawImage(origin + shape.Ink.topLeft(), letters.Silhouette(entry, letter));
  } else if (const QList<QPainterPath>* outlines =
                 turned ? letters.Outlines(entry, letter) : nullptr) {
    FillLetterOutlines(painter, origin, *outlines, color_);
  } else {
    if (painter.pen().color() != color_) painter.setPen(color_);
    DrawLetterShape(painter, origin, shape);
  }
  if (turned) painter.resetTransform();
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

void QtSurface::Restored(bool partly) {
  if (!partly) {
    changedEverywhere_ = true;
  } else if (changed_.size() + touched_.size() <= kMaxChanged) {
    changed_.insert(changed_.end(), touched_.begin(), touched_.end());
  } else {
    changedEverywhere_ = true;
  }
  touched_.clear();
  touchedEverywhere_ = false;
}

void QtSurface::FillBlack() {
  EndPainting();
  const bool partly = CanRestorePartly(Base::Black, nullptr);
  if (partly) {
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
  Restored(partly);
}

void QtSurface::CopyBackground(const Picture& picture) {
  EndPainting();
  const QImage& source = picture.Image();
  const bool partly = CanRestorePartly(Base::Picture, &source);
  if (partly) {
    for (const QRect& rect : touched_) CopyRect(source, rect);
  } else {
    CopyRect(source, image_.rect());
  }
  base_ = Base::Picture;
  basePicture_ = &source;
  basePictureKey_ = source.cacheKey();
  Restored(partly);
}

void QtSurface::HandOver(FrameTarget* target) {
  EndPainting();
  // Changes not shown yet wait for the next target.
  if (target == nullptr) return;
  QRegion changed;
  if (changedEverywhere_ || target != shownTo_) {
    changed = image_.rect();
  } else {
    for (const QRect& rect : MergeNearbyPlaces(std::move(changed_))) changed += rect;
  }
  changed_.clear();
  changedEverywhere_ = false;
  shownTo_ = target;
  target->ShowFrame(image_, changed);
}

SurfaceFactory QtSurfaceFactory() {
  return [](int32_t width, int32_t height) { return std::make_unique<QtSurface>(width, height); };
}
