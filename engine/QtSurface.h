#pragma once
// The animation's drawing surface on Qt: a QImage back buffer in the
// display's 32-bit format, painted with QPainter; the desktop picture; and the
// frame target that the host implements to show finished frames.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/DrawingSurface.h"

// The desktop picture behind the letters, kept in the back buffer's format so
// that copying it is a plain copy of rows.
class Picture {
 public:
  explicit Picture(const QImage& image);
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

// Shows finished frames. The saver window and the preview window implement it;
// ImageSink keeps them for headless use. ShowFrame is called once per frame,
// on the thread that runs the animation; the frame is valid only during the
// call, so a target that keeps it must copy it.
class FrameTarget {
 public:
  virtual ~FrameTarget() = default;
  virtual void ShowFrame(const QImage& frame) = 0;
};

// Keeps a copy of the last frame.
class ImageSink : public FrameTarget {
 public:
  void ShowFrame(const QImage& frame) override;
  const QImage& Frame() const { return frame_; }
  int Frames() const { return frames_; }

 private:
  QImage frame_;
  int frames_ = 0;
};

class QtSurface : public DrawingSurface {
 public:
  QtSurface(int32_t width, int32_t height);
  ~QtSurface() override;

  void SetFontFace(const std::string& face) override;
  void SetFontSize(int32_t points) override;
  void SetFontAngle(int32_t tenthsOfDegree) override;
  void SetFontColor(TColor color) override;
  TextExtent MeasureText(std::u32string_view text) override;
  void DrawLetter(int32_t x, int32_t y, char32_t letter) override;
  void FillBlack() override;
  void CopyBackground(const Picture& picture) override;
  void HandOver(FrameTarget* target) override;

  const QImage& Image() const { return image_; }
  // Restore the background only where letters were drawn (the default), or
  // everywhere in every frame; both give the same pixels.
  void SetPartialRestore(bool partly) { partialRestore_ = partly; }
  // The font as the next letter would be drawn with it.
  const QFont& Font() const { return font_; }
  int32_t Angle() const { return angle_; }

  // Pixel size of a font of the given points at 96 dots per inch; sizes of 0
  // and below give the platform's default size.
  static int PixelSizeForPoints(int32_t points);

 private:
  struct LetterMetrics {
    TextExtent extent;
    // Every pixel the letter may touch, relative to its top-left point,
    // unrotated: its cell and its ink, with a margin for antialiasing.
    QRect reach;
  };
  struct SizeMetrics {
    explicit SizeMetrics(const QFont& font) : metrics(font) {}
    QFontMetrics metrics;
    std::unordered_map<char32_t, LetterMetrics> letters;
  };
  // What the buffer holds under the letters of the frame being drawn.
  enum class Base { Unknown, Black, Picture };

  QPainter& Painter();
  void EndPainting();
  SizeMetrics& Metrics();
  const LetterMetrics& Letter(char32_t letter);
  // Restores the base under the letters drawn since the last restore, or
  // everywhere when the base changed or too much was drawn.
  bool CanRestorePartly(Base base, const QImage* picture) const;
  void CopyRect(const QImage& source, const QRect& rect);

  QImage image_;
  std::optional<QPainter> painter_;
  QFont font_;
  int pixelSize_ = 0;
  int32_t angle_ = 0;
  QColor color_ = Qt::black;
  // Letter extents per pixel size of the current face: the animation measures
  // every letter of the line in every frame.
  std::unordered_map<int, std::unique_ptr<SizeMetrics>> metrics_;

  // Only the places the letters touched need their background back: a whole
  // frame of memory traffic saved, with the same pixels as a full restore.
  Base base_ = Base::Unknown;
  const QImage* basePicture_ = nullptr;
  qint64 basePictureKey_ = 0;
  std::vector<QRect> touched_;
  bool touchedEverywhere_ = true;
  bool partialRestore_ = true;
};

// Makes QtSurface back buffers; for TSaverAni::MakeSurface.
SurfaceFactory QtSurfaceFactory();
