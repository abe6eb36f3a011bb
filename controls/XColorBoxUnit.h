#pragma once
// TColorBoxForm: the channel colour dialog. Six radio buttons choose one
// channel (hue, saturation, brightness, red, green or blue); a 24 x 256 strip
// shows that channel from its maximum at the top to 0 at the bottom, and a
// 256 x 256 field spreads the other two across and down. Clicking or dragging
// sets them; numeric edits and a six-digit HTML code show and accept the
// colour; a swatch compares the starting colour (top) with the current one.

#include <QDialog>
#include <QImage>
#include <array>

#include "controls/ColorBoxModel.h"
#include "controls/ColorBoxRender.h"
#include "dib/XDIBUnit.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TIntegerEdit;
class TPaintBox;

class TColorBoxForm : public QDialog {
  Q_OBJECT

 public:
  // screenBitsPerPixel picks the painting: 15 or more compute every pixel,
  // fewer paint blocks. By default the display's depth, measured once.
  explicit TColorBoxForm(QWidget* parent = nullptr, int screenBitsPerPixel = -1);
  ~TColorBoxForm() override;

  QFrame* const FieldBevel;
  QFrame* const StripBevel;
  QFrame* const SwatchBevel;
  TPaintBox* const FieldPaintBox;
  TPaintBox* const StripPaintBox;
  TPaintBox* const SwatchPaintBox;
  QPushButton* const OKButton;
  QPushButton* const CancelButton;
  QGroupBox* const ValuesGroupBox;
  // "H:", "S:", "B:", "R:", "G:", "B:" in channel order.
  std::array<QRadioButton*, 6> ModeRadioButtons;
  // Hue, saturation, brightness, red, green, blue.
  std::array<TIntegerEdit*, 6> ValueEdits;
  QGroupBox* const HtmlGroupBox;
  QLabel* const HashLabel;
  QLineEdit* const CodeEdit;

  // Starts a run: both halves of the swatch, the edits, markers, field and
  // strip show this colour; the channel mode stays as it was.
  void SetCurrentColor(TColor color);
  TColor CurrentColor() const { return FCurrent.Rgb; }
  THSB CurrentHSB() const { return FCurrent.Hsb; }
  TColor OriginalColor() const { return FOriginalColor; }

  int ChannelMode() const { return FChannelMode; }
  void SelectMode(int mode);
  TColorMarkers Markers() const { return FMarkers; }

  // A pick at field pixel (x, y) or strip row y, clamped to the edges.
  void PickInField(int x, int y);
  void PickInStrip(int y);

  // The field and strip pictures as they are brought to the screen.
  QImage FieldImage() const;
  QImage StripImage() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  bool HighColor() const { return FScreenBitsPerPixel >= 15; }
  void UpdateMarkers();
  void UpdateValueEdits(bool hsb, bool rgb);
  void RenderField();
  void RenderStrip();
  void CommitEdit(int tag);
  // The edit with the focus, committed as if it had lost the focus.
  void CommitFocusedEdit();
  void OKButtonClick();
  void FieldMouseDown(QMouseEvent* event);
  void StripMouseDown(QMouseEvent* event);

  int FScreenBitsPerPixel;
  TColor FOriginalColor = 0;
  TColorBoxColor FCurrent;
  int FChannelMode = 0;
  TColorMarkers FMarkers;
  TFieldRect FDirtyRect = TFieldRect::WholeField();
  bool FFieldDragging = false;
  bool FStripDragging = false;
  // The user typed into an edit since the dialog last wrote it: only then
  // does leaving the edit commit it.
  std::array<bool, 7> FTyped{};

  // High colour: 32-bit bitmaps written pixel by pixel; otherwise ordinary
  // pictures painted in blocks.
  TDIB FFieldDIB;
  TDIB FStripDIB;
  QImage FFieldBitmap;
  QImage FStripBitmap;
};
