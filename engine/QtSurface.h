#pragma once
// The animation's drawing surface on Qt: a QImage back buffer in the
// display's 32-bit format, painted with QPainter; the desktop picture; and the
// frame target that the host implements to show finished frames.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/DrawingSurface.h"
#include "engine/LetterCache.h"

// The desktop picture behind the letters, kept in the back buffer's format so
// that copying it is a plain copy of rows. It may arrive later than it was
// taken: then it is fetched when first needed (a saver over black never
// waits for it).
class Picture {
 public:
  explicit Picture(const QImage& image);
  explicit Picture(std::function<QImage()> arriving);
  const QImage& Image() const;

 private:
  mutable std::function<QImage()> FArriving;
  mutable QImage FImage;
};

// Shows finished frames. The saver window and the preview window implement it;
// ImageSink keeps them for headless use. ShowFrame is called once per frame,
// on the thread that runs the animation; the frame is valid only during the
// call, so a target that keeps it must copy it. `changed` (frame pixels) is
// where the frame differs from the last one this target was given: the whole
// frame the first time, after a new background and whenever it is not known.
class FrameTarget {
 public:
  virtual ~FrameTarget() = default;
  virtual void ShowFrame(const QImage& frame, const QRegion& changed) = 0;
};

// Keeps a copy of the last frame, updating only what changed.
class ImageSink : public FrameTarget {
 public:
  void ShowFrame(const QImage& frame, const QRegion& changed) override;
  const QImage& Frame() const { return FFrame; }
  int Frames() const { return FFrames; }
  // The changed region of the last frame.
  const QRegion& Changed() const { return FChanged; }

 private:
  QImage FFrame;
  QRegion FChanged;
  int FFrames = 0;
};

class QtSurface : public DrawingSurface {
 public:
  // Surfaces given the same letter cache draw every letter identically.
  QtSurface(int32_t width, int32_t height,
            std::shared_ptr<LetterCache> letters = std::make_shared<LetterCache>());
  ~QtSurface() override;

  void SetFontFace(const std::string& face) override;
  void SetFontSize(int32_t points) override;
  void SetFontAngle(int32_t tenthsOfDegree) override;
  void SetFontColor(TColor color) override;
  void SetSilhouette(bool on) override;
  std::vector<size_t> LetterEnds(std::u32string_view text) override;
  TextExtent MeasureText(std::u32string_view text) override;
  void DrawLetter(int32_t x, int32_t y, std::u32string_view letter) override;
  void FillBlack() override;
  void CopyBackground(const Picture& picture) override;
  void HandOver(FrameTarget* target) override;

  const QImage& Image() const { return FImage; }
  // Restore the background only where letters were drawn (the default), or
  // everywhere in every frame; both give the same pixels.
  void SetPartialRestore(bool partly) { FPartialRestore = partly; }
  // The font as the next letter would be drawn with it.
  const QFont& Font() const { return FFont; }
  int32_t Angle() const { return FAngle; }

  // Pixel size of a font of the given points at 96 dots per inch; sizes of 0
  // and below give the platform's default size.
  static int PixelSizeForPoints(int32_t points);

 private:
  // What the buffer holds under the letters of the frame being drawn.
  enum class Base { Unknown, Black, Picture };

  QPainter& Painter();
  void EndPainting();
  // The letter cache, turned to the current font.
  LetterCache& Letters();
  // Every pixel a letter drawn now at (x, y) may touch, within the surface.
  QRect Reach(const QRect& ink, int32_t x, int32_t y) const;
  void Touch(const QRect& rect);
  // Restores the base under the letters drawn since the last restore, or
  // everywhere when the base changed or too much was drawn.
  bool CanRestorePartly(Base base, const QImage* picture) const;
  void CopyRect(const QImage& source, const QRect& rect);
  // Books a restore of the letters' places (partly) or of everything.
  void Restored(bool partly);

  QImage FImage;
  std::optional<QPainter> FPainter;
  QFont FFont;
  int FPixelSize = 0;
  int32_t FAngle = 0;
  QColor FColor = Qt::black;
  bool FSilhouette = false;
  QString FFace;  // as the settings name it
  std::shared_ptr<LetterCache> FLetters;

  // Only the places the letters touched need their background back: a whole
  // frame of memory traffic saved, with the same pixels as a full restore.
  Base FBase = Base::Unknown;
  const QImage* FBasePicture = nullptr;
  qint64 FBasePictureKey = 0;
  std::vector<QRect> FTouched;
  bool FTouchedEverywhere = true;
  bool FPartialRestore = true;

  // What changed since the frame last handed to a target: only that needs
  // to reach the screen.
  std::vector<QRect> FChanged;
  bool FChangedEverywhere = true;
  const FrameTarget* FShownTo = nullptr;
};

// Makes QtSurface back buffers; for TSaverAni::MakeSurface.
SurfaceFactory QtSurfaceFactory();
