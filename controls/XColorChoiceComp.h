#pragma once
// TColorChoice: a compact colour chooser. The swatch on top shows the colour
// and the caption, with an eyedropper square that picks any colour on the
// screen and a menu icon; the chart below spreads hue against lightness and
// picks at a click or drag. A click on the swatch (or Space) opens the
// channel colour dialog.

#include <QCursor>
#include <QFrame>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>

#include "controls/ColorChartModel.h"
#include "engine/XColorUnit.h"
#include "platform/ScreenPixelReader.h"

class QMenu;
class TColorChoice;

// The swatch: the colour, the caption, the eyedropper square and the menu icon.
class TColorDisplay : public QWidget {
  Q_OBJECT

 public:
  explicit TColorDisplay(TColorChoice& owner);
  // A picker that goes while picking gives the cursor back.
  ~TColorDisplay() override;

  bool Picking() const { return FPicking; }
  TColor PickedColor() const { return FPickedColor; }

  // The swatch as it is painted at the given size; null without area.
  QImage RenderSwatch(int width, int height) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  static bool InPickSquare(QPoint p);
  void RestoreCursor();

  TColorChoice& FOwner;
  bool FPicking = false;
  TColor FPickedColor = 0;
  // The cursor shown while picking; the application's cursor before it is
  // kept on Qt's cursor stack.
  QCursor FPickCursor;
};

// The hue x lightness chart.
class TColorChart : public QWidget {
  Q_OBJECT

 public:
  explicit TColorChart(TColorChoice& owner);

  // The chart as it is painted at the given size; null without area.
  QImage RenderChart(int width, int height) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  TColorChoice& FOwner;
};

class TColorChoice : public QFrame {
  Q_OBJECT

 public:
  explicit TColorChoice(QWidget* parent = nullptr);
  ~TColorChoice() override;

  // Shown in the swatch and as the colour dialog's title.
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);

  // The chosen colour, 0x00BBGGRR. Setting it fires no OnChange.
  TColor Color() const { return FColor; }
  void SetColor(TColor color);

  TColorChoiceKind Kind() const { return FKind; }
  void SetKind(TColorChoiceKind kind);

  // A one-pixel frame round the picker, or none.
  void SetSingleBorder(bool single);

  // Picks the colour at chart position (x, y), clamped into the chart.
  void PickAt(int x, int y);
  // The channel colour dialog, titled with the caption.
  void ShowColorDialog();
  // The picker's menu at the mouse position.
  void ShowColorMenu();
  // The menu command with the given tag: 0 "Select...", 1 "Copy", 2
  // "Paste", 3 the separator, 4..12 the named colours.
  void ColorMenuClick(int tag);

  QMenu* ColorMenu() const { return FMenu; }
  TColorDisplay* Display() const { return FDisplay; }
  TColorChart* Chart() const { return FChart; }

  // Where the eyedropper reads the screen; the real screen by default.
  void SetScreenPixelReader(std::unique_ptr<platform::ScreenPixelReader> reader);
  platform::ScreenPixelReader& PixelReader() const { return *FPixelReader; }

  // The display depth that picks the chart's painting: 15 bits or more write
  // every pixel, fewer paint 8 x 8 blocks. Measured once for the program.
  int ScreenBitsPerPixel() const { return FScreenBitsPerPixel; }
  void SetScreenBitsPerPixel(int bits);

  // A user action chose a colour.
  std::function<void()> OnChange;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  friend class TColorDisplay;
  // Stores a colour a user action chose and tells when it differs.
  void ChooseColor(TColor color);

  QString FCaption;
  TColor FColor = 0;
  TColorChoiceKind FKind = ccVertical;
  int FScreenBitsPerPixel;
  TColorDisplay* FDisplay;
  TColorChart* FChart;
  QMenu* FMenu;
  std::unique_ptr<platform::ScreenPixelReader> FPixelReader;
};

// The colour clipboard shared by every picker of the program.
bool ColorClipboardValid();
TColor ColorClipboard();
