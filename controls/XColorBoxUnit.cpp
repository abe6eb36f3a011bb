#include "controls/XColorBoxUnit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "controls/ColorPictures.h"
#include "controls/FormLayout.h"
#include "controls/PaintBox.h"
#include "controls/XIntegerEditComp.h"
#include "platform/ScreenPixelReader.h"

namespace {

constexpr int kCodeTag = 6;
constexpr QRect kOriginalHalf(0, 0, 152, 24);
constexpr QRect kCurrentHalf(0, 24, 152, 24);

int MeasuredScreenBitsPerPixel() {
  static const int bits = platform::ScreenBitsPerPixel();
  return bits;
}

QFrame* SunkenBevel(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* bevel = Place(new QFrame(parent), name, left, top, width, height);
  bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return bevel;
}

QColor ToQColor(TColor c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QRect ToQRect(const TFieldRect& r) {
  return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TPixelRows32 RowsOf(TDIB& bitmap) {
  return {bitmap.RowAddress(0), bitmap.RowStep(), bitmap.ImageWidth(), bitmap.ImageHeight()};
}

// The marker with its background cut away, for the block-painted pictures.
const QImage& KeyedMarker() {
  static const QImage keyed = [] {
    QImage cut = colorpictures::MarkerBitmap().convertToFormat(QImage::Format_ARGB32);
    if (cut.isNull()) return cut;
    const QRgb key = cut.pixel(0, 0) & 0xFFFFFF;
    for (int y = 0; y < cut.height(); ++y)
      for (int x = 0; x < cut.width(); ++x)
        if ((cut.pixel(x, y) & 0xFFFFFF) == key) cut.setPixel(x, y, 0);
    return cut;
  }();
  return keyed;
}

// The channel edits take decimal digits only: no value here is negative.
class TChannelEdit : public TIntegerEdit {
 public:
  using TIntegerEdit::TIntegerEdit;

 protected:
  bool IsValidChar(QChar key) const override {
    return key != u'-' && TIntegerEdit::IsValidChar(key);
  }
};

bool IsTemporaryFocusLoss(Qt::FocusReason reason) {
  return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

}  // namespace

TColorBoxForm::TColorBoxForm(QWidget* parent, int screenBitsPerPixel)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      FieldBevel(SunkenBevel(this, "FieldBevel", 7, 7, 258, 258)),
      StripBevel(SunkenBevel(this, "StripBevel", 271, 7, 26, 258)),
      SwatchBevel(SunkenBevel(this, "SwatchBevel", 303, 7, 154, 50)),
      FieldPaintBox(Place(new TPaintBox(this), "FieldPaintBox", 8, 8, 256, 256)),
      StripPaintBox(Place(new TPaintBox(this), "StripPaintBox", 272, 8, 24, 256)),
      SwatchPaintBox(Place(new TPaintBox(this), "SwatchPaintBox", 304, 8, 152, 48)),
      OKButton(Place(new QPushButton(QStringLiteral("OK"), this), "OKButton", 304, 240, 73, 25)),
      CancelButton(
          Place(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton", 384, 240, 73, 25)),
      ValuesGroupBox(Place(new QGroupBox(this), "ValuesGroupBox", 304, 64, 153, 97)),
      HtmlGroupBox(Place(new QGroupBox(QStringLiteral("HTML Code"), this), "HtmlGroupBox", 304, 168,
                         153, 49)),
      HashLabel(Place(new QLabel(QStringLiteral("#"), HtmlGroupBox), "HashLabel", 8, 20, 65, 13)),
      CodeEdit(Place(new QLineEdit(HtmlGroupBox), "CodeEdit", 80, 16, 65, 21)),
      FScreenBitsPerPixel(screenBitsPerPixel >= 0 ? screenBitsPerPixel
                                                  : MeasuredScreenBitsPerPixel()) {
  setFixedSize(465, 273);
  UseFormFont(*this);

  static constexpr const char* kRadioCaptions[6] = {"H:", "S:", "B:", "R:", "G:", "B:"};
  static constexpr const char* kRadioNames[6] = {"HRadioButton", "SRadioButton", "BRadioButton",
                                                 "RRadioButton", "GRadioButton", "BlueRadioButton"};
  static constexpr const char* kEditNames[6] = {"HueEdit", "SaturationEdit", "BrightnessEdit",
                                                "RedEdit", "GreenEdit",      "BlueEdit"};
  static constexpr int kEditMax[6] = {359, 100, 100, 255, 255, 255};
  for (int i = 0; i < 6; ++i) {
    const int column = i < 3 ? 0 : 72;
    const int row = 24 * (i % 3);
    ModeRadioButtons[i] =
        Place(new QRadioButton(QString::fromLatin1(kRadioCaptions[i]), ValuesGroupBox),
              kRadioNames[i], 8 + column, 18 + row, 32, 17);
    connect(ModeRadioButtons[i], &QRadioButton::clicked, this, [this, i] { SelectMode(i); });

    TIntegerEdit* edit =
        Place(new TChannelEdit(ValuesGroupBox), kEditNames[i], 40 + column, 16 + row, 33, 21);
    edit->setMaxLength(3);
    edit->SetMaxValue(kEditMax[i]);
    ValueEdits[i] = edit;
    connect(edit, &QLineEdit::textEdited, this,
            [this, i] { FTyped[static_cast<size_t>(i)] = true; });
    edit->OnExit = [this, i, edit] {
      const bool typed = FTyped[static_cast<size_t>(i)];
      FTyped[static_cast<size_t>(i)] = false;
      if (typed && edit->Modified()) CommitEdit(i);
    };
    edit->installEventFilter(this);
  }
  ModeRadioButtons[0]->setChecked(true);

  HashLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  CodeEdit->setMaxLength(6);
  connect(CodeEdit, &QLineEdit::textEdited, this, [this] { FTyped[kCodeTag] = true; });
  CodeEdit->installEventFilter(this);

  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &TColorBoxForm::OKButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TColorBoxForm::reject);

  // OK, Cancel, the values group (radio buttons, then the edits), the code.
  QWidget* previous = OKButton;
  const auto chain = [&previous](QWidget* next) {
    setTabOrder(previous, next);
    previous = next;
  };
  chain(CancelButton);
  for (QRadioButton* radio : ModeRadioButtons) chain(radio);
  for (TIntegerEdit* edit : ValueEdits) chain(edit);
  chain(CodeEdit);

  FieldPaintBox->setCursor(colorpictures::BoxCircleCursor());
  StripPaintBox->setCursor(colorpictures::BoxCircleCursor());
  FieldPaintBox->OnPaint = [this](QPainter& painter, const QRect& exposed) {
    painter.drawImage(exposed, FieldImage(), exposed);
  };
  StripPaintBox->OnPaint = [this](QPainter& painter, const QRect& exposed) {
    painter.drawImage(exposed, StripImage(), exposed);
  };
  SwatchPaintBox->OnPaint = [this](QPainter& painter, const QRect&) {
    painter.fillRect(kOriginalHalf, ToQColor(FOriginalColor));
    painter.fillRect(kCurrentHalf, ToQColor(FCurrent.Rgb));
  };
  FieldPaintBox->OnMouseDown = [this](QMouseEvent* event) { FieldMouseDown(event); };
  FieldPaintBox->OnMouseMove = [this](QMouseEvent* event) {
    if (!FFieldDragging) return;
    const QPoint p = event->position().toPoint();
    PickInField(p.x(), p.y());
  };
  FieldPaintBox->OnMouseUp = [this](QMouseEvent*) { FFieldDragging = false; };
  StripPaintBox->OnMouseDown = [this](QMouseEvent* event) { StripMouseDown(event); };
  StripPaintBox->OnMouseMove = [this](QMouseEvent* event) {
    if (FStripDragging) PickInStrip(event->position().toPoint().y());
  };
  StripPaintBox->OnMouseUp = [this](QMouseEvent*) { FStripDragging = false; };

  if (HighColor()) {
    FFieldDIB.SetDimensions(kFieldSize, kFieldSize, 32);
    FStripDIB.SetDimensions(kStripWidth, kFieldSize, 32);
  } else {
    FFieldBitmap = QImage(kFieldSize, kFieldSize, QImage::Format_RGB32);
    FStripBitmap = QImage(kStripWidth, kFieldSize, QImage::Format_RGB32);
  }

  FOriginalColor = MakeColor(255, 0, 0);
  FCurrent = TColorBoxColor::FromRgb(FOriginalColor);
  SelectMode(0);
  UpdateValueEdits(true, true);
}

TColorBoxForm::~TColorBoxForm() = default;

void TColorBoxForm::SetCurrentColor(TColor color) {
  FOriginalColor = color & 0xFFFFFF;
  FCurrent = TColorBoxColor::FromRgb(color);
  FFieldDragging = FStripDragging = false;
  UpdateValueEdits(true, true);
  UpdateMarkers();
  RenderField();
  RenderStrip();
  SwatchPaintBox->update();
}

void TColorBoxForm::SelectMode(int mode) {
  if (mode < 0 || mode >= static_cast<int>(kChannelModes.size())) return;
  FChannelMode = mode;
  ModeRadioButtons[static_cast<size_t>(mode)]->setChecked(true);
  ValuesGroupBox->setTitle(QStringLiteral("Values (") +
                           QString::fromLatin1(kChannelModes[static_cast<size_t>(mode)].Name) +
                           QStringLiteral(")"));
  UpdateMarkers();
  RenderField();
  RenderStrip();
}

void TColorBoxForm::UpdateMarkers() {
  FMarkers = MarkersOf(FCurrent, FChannelMode);
}

void TColorBoxForm::UpdateValueEdits(bool hsb, bool rgb) {
  SwatchPaintBox->update(kCurrentHalf);
  const std::array<int32_t, 6> values = EditValuesOf(FCurrent);
  for (size_t i = 0; i < 6; ++i) {
    if (i < 3 ? !hsb : !rgb) continue;
    ValueEdits[i]->SetValue(values[i]);
    FTyped[i] = false;
  }
  CodeEdit->setText(QString::fromStdString(HtmlCodeOf(FCurrent.Rgb)));
  FTyped[kCodeTag] = false;
}

void TColorBoxForm::RenderField() {
  const TFieldRect dirty = FDirtyRect.ClampedToField();
  if (HighColor()) {
    RenderField32(FCurrent, FChannelMode, dirty, RowsOf(FFieldDIB));
    FFieldDIB.Surface().DrawTransparent(FMarkers.X - 8, FMarkers.Y - 8,
                                        colorpictures::MarkerBitmap(),
                                        colorpictures::MarkerKeyColor());
  } else {
    QPainter painter(&FFieldBitmap);
    ForEachFieldBlock(FCurrent, FChannelMode, dirty, [&](int x, int y, TColor color) {
      painter.fillRect(x, y, 16, 16, ToQColor(color));
    });
    painter.drawImage(FMarkers.X - 8, FMarkers.Y - 8, KeyedMarker());
  }
  if (!dirty.IsEmpty()) FieldPaintBox->update(ToQRect(dirty));
}

void TColorBoxForm::RenderStrip() {
  if (HighColor()) {
    RenderStrip32(FCurrent, FChannelMode, RowsOf(FStripDIB));
    FStripDIB.Surface().DrawTransparent(4, FMarkers.Z - 8, colorpictures::MarkerBitmap(),
                                        colorpictures::MarkerKeyColor());
  } else {
    QPainter painter(&FStripBitmap);
    ForEachStripBlock(FCurrent, FChannelMode, [&](int y, TColor color) {
      painter.fillRect(0, y, kStripWidth, 8, ToQColor(color));
    });
    painter.drawImage(4, FMarkers.Z - 8, KeyedMarker());
  }
  StripPaintBox->update();
}

QImage TColorBoxForm::FieldImage() const {
  return HighColor() ? FFieldDIB.ToImage() : FFieldBitmap;
}

QImage TColorBoxForm::StripImage() const {
  return HighColor() ? FStripDIB.ToImage() : FStripBitmap;
}

void TColorBoxForm::PickInField(int x, int y) {
  const TColorMarkers old = FMarkers;
  FMarkers = PickFieldColor(FCurrent, FChannelMode, x, y);
  RenderStrip();
  // The field itself does not change: only the marker moves, so only the
  // squares under its old and new place are brought to the screen.
  FDirtyRect = TFieldRect::AroundMarker(old.X, old.Y);
  RenderField();
  FDirtyRect = TFieldRect::AroundMarker(FMarkers.X, FMarkers.Y);
  RenderField();
  FDirtyRect = TFieldRect::WholeField();
  UpdateValueEdits(true, true);
}

void TColorBoxForm::PickInStrip(int y) {
  FMarkers = PickStripColor(FCurrent, FChannelMode, y);
  RenderField();
  RenderStrip();
  UpdateValueEdits(true, true);
}

void TColorBoxForm::FieldMouseDown(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  PickInField(p.x(), p.y());
  FFieldDragging = true;
}

void TColorBoxForm::StripMouseDown(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  PickInStrip(event->position().toPoint().y());
  FStripDragging = true;
}

void TColorBoxForm::CommitEdit(int tag) {
  const auto value = [this](int i) { return ValueEdits[static_cast<size_t>(i)]->Value(); };
  if (tag <= 2) {
    FCurrent = CommitHsbEdits(value(0), value(1), value(2));
    UpdateValueEdits(false, true);
  } else if (tag <= 5) {
    FCurrent = CommitRgbEdits(value(3), value(4), value(5));
    UpdateValueEdits(true, false);
  } else {
    // Anything but six hexadecimal digits keeps the colour; the code is
    // rewritten either way.
    if (const auto parsed = ParseHtmlCode(CodeEdit->text().toStdString())) FCurrent.Rgb = *parsed;
    FCurrent.Hsb = ColorToHSB(FCurrent.Rgb);
    UpdateValueEdits(true, true);
  }
  UpdateMarkers();
  RenderField();
  RenderStrip();
}

void TColorBoxForm::CommitFocusedEdit() {
  QWidget* focused = focusWidget();
  for (size_t i = 0; i < ValueEdits.size(); ++i) {
    if (focused != ValueEdits[i]) continue;
    const bool typed = FTyped[i];
    FTyped[i] = false;
    if (typed && ValueEdits[i]->Modified()) CommitEdit(static_cast<int>(i));
  }
  if (focused == CodeEdit && FTyped[kCodeTag]) CommitEdit(kCodeTag);
}

void TColorBoxForm::OKButtonClick() {
  // Enter presses OK while an edit keeps the focus: what was typed counts.
  CommitFocusedEdit();
  accept();
}

void TColorBoxForm::reject() {
  FCurrent.Rgb = FOriginalColor;
  QDialog::reject();
}

bool TColorBoxForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OKButton->click();
      return true;
    }
  } else if (event->type() == QEvent::FocusOut && watched == CodeEdit) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (!IsTemporaryFocusLoss(reason) && FTyped[kCodeTag]) CommitEdit(kCodeTag);
  }
  return QDialog::eventFilter(watched, event);
}
