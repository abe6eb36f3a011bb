#include "engine/LetterCache.h"

#include "engine/LetterMask.h"

namespace {

// Memory kept for shadows of colour letters; beyond it they are made anew
// each time.
constexpr qsizetype kSilhouetteBudget = 32 << 20;
// Memory kept for coverage pictures, and the largest font given them.
constexpr qsizetype kCoverageBudget = 32 << 20;
constexpr int kLargestCoveredSize = 256;

// Up to this size Qt keeps glyph pictures of its own, and blends them its
// own way; letters gain nothing from coverage pictures there.
int LargestGlyphQtKeeps() {
  static const int size = [] {
    const int set = qEnvironmentVariableIntValue("QT_MAX_CACHED_GLYPH_SIZE");
    return set > 0 ? set : 64;
  }();
  return size;
}

QString Text(std::u32string_view letter) {
  return QString::fromUcs4(letter.data(), static_cast<qsizetype>(letter.size()));
}

}  // namespace

void LetterCache::Select(const QString& face, const QFont& font) {
  if (FCurrent != nullptr && FCurrentKey.second == font.pixelSize() && FCurrentKey.first == face)
    return;
  FCurrentKey = {face, font.pixelSize()};
  FFont = font;
  auto& slot = FFonts[FCurrentKey];
  if (!slot) slot = std::make_unique<FontEntries>(font);
  FCurrent = slot.get();
}

const QFontMetrics& LetterCache::Metrics() {
  return FCurrent->metrics;
}

LetterCache::Entry& LetterCache::Find(std::u32string_view letter) {
  FontEntries& entries = *FCurrent;
  const auto measure = [&] {
    const QFontMetrics& m = entries.metrics;
    Entry entry;
    entry.Extent = TextExtent{m.horizontalAdvance(Text(letter)), m.ascent() + m.descent()};
    return entry;
  };
  if (letter.size() == 1) {
    const auto found = entries.letters.find(letter[0]);
    if (found != entries.letters.end()) return found->second;
    return entries.letters.emplace(letter[0], measure()).first->second;
  }
  FKey.assign(letter);
  const auto found = entries.clusters.find(FKey);
  if (found != entries.clusters.end()) return found->second;
  return entries.clusters.emplace(FKey, measure()).first->second;
}

const LetterShape& LetterCache::Shape(Entry& entry, std::u32string_view letter) {
  if (!entry.Shape) {
    LetterShape shape = ShapeLetter(FFont, Text(letter));
    // Relative to the top-left point rather than the baseline.
    const int ascent = Metrics().ascent();
    shape.Ink.translate(0, ascent);
    shape.Origin += QPointF(0, ascent);
    entry.Shape = std::move(shape);
  }
  return *entry.Shape;
}

const QImage& LetterCache::Silhouette(Entry& entry, std::u32string_view letter) {
  if (!entry.Silhouette.isNull()) return entry.Silhouette;
  QImage silhouette = LetterSilhouette(Shape(entry, letter));
  if (FSilhouetteBytes + silhouette.sizeInBytes() > kSilhouetteBudget) {
    FScratchSilhouette = std::move(silhouette);
    return FScratchSilhouette;
  }
  FSilhouetteBytes += silhouette.sizeInBytes();
  entry.Silhouette = std::move(silhouette);
  return entry.Silhouette;
}

const QImage* LetterCache::Coverage(Entry& entry, std::u32string_view letter) {
  if (!entry.Coverage.isNull()) return &entry.Coverage;
  if (entry.CoverageAsked > 1) return nullptr;  // refused before
  if (++entry.CoverageAsked < 2) return nullptr;
  const LetterShape& shape = Shape(entry, letter);
  const qsizetype bytes = qsizetype{shape.Ink.width()} * shape.Ink.height();
  const int size = FFont.pixelSize();
  if (shape.Coloured || shape.Runs.size() != 1 || size <= LargestGlyphQtKeeps() ||
      size > kLargestCoveredSize || FCoverageBytes + bytes > kCoverageBudget) {
    entry.CoverageAsked = 2;
    return nullptr;
  }
  entry.Coverage = LetterCoverage(shape);
  FCoverageBytes += entry.Coverage.sizeInBytes();
  return &entry.Coverage;
}

const QList<QPainterPath>* LetterCache::Outlines(Entry& entry, std::u32string_view letter) {
  if (!entry.Outlines) {
    const LetterShape& shape = Shape(entry, letter);
    if (shape.Coloured || FFont.pixelSize() <= LargestGlyphQtKeeps()) return nullptr;
    entry.Outlines = LetterOutlines(shape);
  }
  return &*entry.Outlines;
}
