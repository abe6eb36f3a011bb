#pragma once
// What the Qt surface knows about letters, by face and pixel size: their
// extents (the animation measures every letter of the line in every frame),
// their shapes with their ink, and the shadows of colour letters. Qt may
// shape the same letter a little differently each time it is asked, so a
// shape once made is kept and used for every drawing of that letter; surfaces
// that share a cache draw the same letters identically.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "engine/DrawingSurface.h"
#include "engine/LetterInk.h"

class LetterCache {
 public:
  struct Entry {
    TextExtent Extent;
    // Made when the letter is first drawn; relative to its top-left point.
    std::optional<LetterShape> Shape;
    // The black shadow of a letter in colours of its own, once needed.
    QImage Silhouette;
    // The outlines of the letter, once it is drawn turned.
    std::optional<QList<QPainterPath>> Outlines;
    // The coverage of the upright letter, and how often it was asked for.
    QImage Coverage;
    int CoverageAsked = 0;
  };

  // The font the following calls are about; `face` names it as the settings
  // do, `font` has its pixel size.
  void Select(const QString& face, const QFont& font);
  const QFontMetrics& Metrics();
  // The letter's entry with its extent; stays valid while the cache lives.
  Entry& Find(std::u32string_view letter);
  const LetterShape& Shape(Entry& entry, std::u32string_view letter);
  const QImage& Silhouette(Entry& entry, std::u32string_view letter);
  // The coverage picture of the upright letter (see LetterMask.h), or null
  // where the letter is to be drawn from its glyphs: the first time it is
  // drawn at this size (sizes that change every frame are not worth a
  // picture each), in colours of its own, from several fonts, small enough
  // for Qt's own glyph pictures, very large, or beyond the memory kept for
  // such pictures.
  const QImage* Coverage(Entry& entry, std::u32string_view letter);
  // The outlines to fill for the letter turned (see LetterMask.h), or null
  // where Qt draws it from glyph pictures of its own (small letters, colour
  // letters).
  const QList<QPainterPath>* Outlines(Entry& entry, std::u32string_view letter);

 private:
  struct FontEntries {
    explicit FontEntries(const QFont& font) : metrics(font) {}
    QFontMetrics metrics;
    std::unordered_map<char32_t, Entry> letters;
    std::unordered_map<std::u32string, Entry> clusters;
  };

  std::map<std::pair<QString, int>, std::unique_ptr<FontEntries>> FFonts;
  FontEntries* FCurrent = nullptr;
  std::pair<QString, int> FCurrentKey;
  QFont FFont;
  std::u32string FKey;  // reused to look letters up without allocating
  qsizetype FSilhouetteBytes = 0;
  qsizetype FCoverageBytes = 0;
  QImage FScratchSilhouette;  // a shadow made beyond the memory budget
};
