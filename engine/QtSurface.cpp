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

Picture::Picture(const QImage& image) : FImage(image.convertToFormat(QImage::Format_RGB32)) {}

Picture::Picture(std::function<QImage()> arriving) : FArriving(std::move(arriving)) {}

const QImage& Picture::Image() const {
  if (FArriving) {
    FImage = std::exchange(FArriving, nullptr)().convertToFormat(QImage::Format_RGB32);
  }
  return FImage;
}

void ImageSink::ShowFrame(const QImage& frame, const QRegion& changed) {
  FChanged = changed;
  ++FFrames;
  // Reuse the sink's own pixels: no allocation per frame, and only the
  // changed places copied, as a window would.
  const bool same = FFrame.size() == frame.size() && FFrame.format() == frame.format() &&
                    FFrame.bytesPerLine() == frame.bytesPerLine();
  if (!same) {
    FFrame = frame.copy();
    return;
  }
  const int depth = frame.depth() / 8;
  for (const QRect& rect : changed& frame.rect()) {
    for (int row = rect.top(); row <= rect.bottom(); ++row) {
      std::memcpy(FFrame.scanLine(row) + rect.left() * depth,
                  frame.constScanLine(row) + rect.left() * depth,
                  static_cast<size_t>(rect.width() * depth));
    }
  }
}

QtSurface::QtSurface(int32_t width, int32_t height, std::shared_ptr<LetterCache> letters)
    : FImage(platform::NewLargeImage(QSize(std::max(width, 1), std::max(height, 1)),
                                     QImage::Format_RGB32)),
      FFont(DefaultFont()),
      FLetters(letters ? std::move(letters) : std::make_shared<LetterCache>()) {
  FImage.fill(Qt::black);
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
  FFont = face.empty() || face == "Default" ? DefaultFont() : QFont(QString::fromStdString(face));
  FFont.setPixelSize(FPixelSize > 0 ? FPixelSize : PixelSizeForPoints(0));
  FFace = QString::fromStdString(face);
}

void QtSurface::SetFontSize(int32_t points) {
  FPixelSize = PixelSizeForPoints(points);
  if (FFont.pixelSize() != FPixelSize) FFont.setPixelSize(FPixelSize);
  FAngle = 0;
}

void QtSurface::SetFontAngle(int32_t tenthsOfDegree) {
  FAngle = tenthsOfDegree;
}

void QtSurface::SetFontColor(TColor color) {
  FColor = ToQColor(color);
}

void QtSurface::SetSilhouette(bool on) {
  FSilhouette = on;
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
  FLetters->Select(FFace, FFont);
  return *FLetters;
}

TextExtent QtSurface::MeasureText(std::u32string_view text) {
  LetterCache& letters = Letters();
  if (text.size() <= kLongestCachedLetter) return letters.Find(text).Extent;
  const QFontMetrics& m = letters.Metrics();
  return TextExtent{m.horizontalAdvance(ToQString(text)), m.ascent() + m.descent()};
}

QPainter& QtSurface::Painter() {
  if (!FPainter) {
    FPainter.emplace(&FImage);
    FPainter->setRenderHint(QPainter::TextAntialiasing);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform);
    FPainter->setBackgroundMode(Qt::TransparentMode);
  }
  return *FPainter;
}

void QtSurface::EndPainting() {
  if (FPainter) {
    FPainter->end();
    FPainter.reset();
  }
}

QRect QtSurface::Reach(const QRect& ink, int32_t x, int32_t y) const {
  if (ink.isEmpty()) return QRect();
  if (FAngle % 3600 == 0) return ink.translated(x, y).adjusted(-1, -1, 1, 1) & FImage.rect();
  // A turned letter is drawn from its outline without the hinting of the
  // upright one it was measured as: allow for the difference.
  const int margin = 2 + FPixelSize / 16;
  return Turn(x, y, FAngle).mapRect(ink).adjusted(-margin, -margin, margin, margin) & FImage.rect();
}

void QtSurface::Touch(const QRect& rect) {
  if (FTouched.size() < kMaxTouched) {
    FTouched.push_back(rect);
  } else {
    FTouchedEverywhere = true;
  }
  if (FChanged.size() < kMaxChanged) {
    FChanged.push_back(rect);
  } else {
    FChangedEverywhere = true;
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

  const bool turned = FAngle % 3600 != 0;
  if (!turned && !(FSilhouette && shape.Coloured)) {
    if (const QImage* coverage = letters.Coverage(entry, letter)) {
      BlendCoverage(FImage, QPoint(x, y) + shape.Ink.topLeft(), *coverage, FColor.rgb());
      return;
    }
  }
  QPainter& painter = Painter();
  if (turned) painter.setTransform(Turn(x, y, FAngle));
  const QPoint origin = turned ? QPoint(0, 0) : QPoint(x, y);
  if (FSilhouette && shape.Coloured) {
    painter.drawImage(origin + shape.Ink.topLeft(), letters.Silhouette(entry, letter));
  } else if (const QList<QPainterPath>* outlines =
                 turned ? letters.Outlines(entry, letter) : nullptr) {
    FillLetterOutlines(painter, origin, *outlines, FColor);
  } else {
    if (painter.pen().color() != FColor) painter.setPen(FColor);
    DrawLetterShape(painter, origin, shape);
  }
  if (turned) painter.resetTransform();
}

bool QtSurface::CanRestorePartly(Base base, const QImage* picture) const {
  if (!FPartialRestore || FTouchedEverywhere || base != FBase) return false;
  if (base == Base::Picture) {
    return picture == FBasePicture && picture->cacheKey() == FBasePictureKey;
  }
  return true;
}

void QtSurface::CopyRect(const QImage& source, const QRect& rect) {
  const QRect area = rect & source.rect();
  const size_t bytes = static_cast<size_t>(area.width()) * 4;
  for (int row = area.top(); row <= area.bottom(); ++row) {
    std::memcpy(FImage.scanLine(row) + area.left() * 4, source.constScanLine(row) + area.left() * 4,
                bytes);
  }
  // Outside a smaller picture the surface stays black.
  for (const QRect& outside : QRegion(rect).subtracted(QRegion(area))) {
    for (int row = outside.top(); row <= outside.bottom(); ++row) {
      auto* pixels = reinterpret_cast<QRgb*>(FImage.scanLine(row)) + outside.left();
      std::fill_n(pixels, outside.width(), kOpaqueBlack);
    }
  }
}

void QtSurface::Restored(bool partly) {
  if (!partly) {
    FChangedEverywhere = true;
  } else if (FChanged.size() + FTouched.size() <= kMaxChanged) {
    FChanged.insert(FChanged.end(), FTouched.begin(), FTouched.end());
  } else {
    FChangedEverywhere = true;
  }
  FTouched.clear();
  FTouchedEverywhere = false;
}

void QtSurface::FillBlack() {
  EndPainting();
  const bool partly = CanRestorePartly(Base::Black, nullptr);
  if (partly) {
    for (const QRect& rect : FTouched) {
      for (int row = rect.top(); row <= rect.bottom(); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(FImage.scanLine(row)) + rect.left();
        std::fill_n(pixels, rect.width(), kOpaqueBlack);
      }
    }
  } else {
    FImage.fill(Qt::black);
  }
  FBase = Base::Black;
  Restored(partly);
}

void QtSurface::CopyBackground(const Picture& picture) {
  EndPainting();
  const QImage& source = picture.Image();
  const bool partly = CanRestorePartly(Base::Picture, &source);
  if (partly) {
    for (const QRect& rect : FTouched) CopyRect(source, rect);
  } else {
    CopyRect(source, FImage.rect());
  }
  FBase = Base::Picture;
  FBasePicture = &source;
  FBasePictureKey = source.cacheKey();
  Restored(partly);
}

void QtSurface::HandOver(FrameTarget* target) {
  EndPainting();
  // Changes not shown yet wait for the next target.
  if (target == nullptr) return;
  QRegion changed;
  if (FChangedEverywhere || target != FShownTo) {
    changed = FImage.rect();
  } else {
    for (const QRect& rect : MergeNearbyPlaces(std::move(FChanged))) changed += rect;
  }
  FChanged.clear();
  FChangedEverywhere = false;
  FShownTo = target;
  target->ShowFrame(FImage, changed);
}

SurfaceFactory QtSurfaceFactory() {
  return [](int32_t width, int32_t height) { return std::make_unique<QtSurface>(width, height); };
}
