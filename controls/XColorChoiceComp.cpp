#include "controls/XColorChoiceComp.h"

#include <QAction>
#include <QFocusEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "controls/ColorPictures.h"
#include "controls/XColorBoxComp.h"
#include "dib/XDIBUnit.h"

namespace {

// The one colour clipboard of the program; the system clipboard is not used.
TColor SharedClipboardColor = 0;
bool SharedClipboardValid = false;

constexpr int kSwatchHeight = 18;
constexpr int kSelectTag = 0, kCopyTag = 1, kPasteTag = 2, kFirstNamedTag = 4;

// The display depth, measured once for the program: a change of depth while
// it runs does not change how charts paint.
int MeasuredScreenBitsPerPixel() {
  static const int bits = platform::ScreenBitsPerPixel();
  return bits;
}

QColor ToQColor(TColor c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

TColor FromQRgb(QRgb rgb) {
  return MakeColor(static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
                   static_cast<uint8_t>(qBlue(rgb)));
}

}  // namespace

bool ColorClipboardValid() {
  return SharedClipboardValid;
}

TColor ColorClipboard() {
  return SharedClipboardColor;
}

// --- Swatch -----------------------------------------------------------------

TColorDisplay::TColorDisplay(TColorChoice& owner) : QWidget(&owner), FOwner(owner) {
  setFixedHeight(kSwatchHeight);
}

TColorDisplay::~TColorDisplay() {
  if (FPicking) RestoreCursor();
}

void TColorDisplay::RestoreCursor() {
  // Someone else may have changed the application's cursor meanwhile; only
  // our own is taken back.
  const QCursor* current = QGuiApplication::overrideCursor();
  if (current && current->pixmap().cacheKey() == FPickCursor.pixmap().cacheKey())
    QGuiApplication::restoreOverrideCursor();
}

bool TColorDisplay::InPickSquare(QPoint p) {
  return p.x() >= 3 && p.x() < 15 && p.y() >= 3 && p.y() < 15;
}

QImage TColorDisplay::RenderSwatch(int width, int height) const {
  if (width <= 0 || height <= 0) return {};
  const TColor color = FOwner.Color();
  const bool light = IsLightColor(color);
  const TColor ink = light ? MakeColor(0, 0, 0) : MakeColor(255, 255, 255);

  TDIB bitmap;
  bitmap.SetDimensions(width, height, 24);
  TDIBCanvas& canvas = bitmap.Surface();
  canvas.Brush = {color, bsSolid};
  canvas.FillRect(QRect(0, 0, width, height));

  canvas.Pen = {ink, 1};
  canvas.Brush.Color = FPicking ? FPickedColor : color;
  canvas.Rectangle(3, 3, 15, 15);

  // AND keeps the icon's black lines black on a light colour; NOT-source-OR
  // turns them white on a dark one. White icon pixels leave the colour.
  canvas.CopyMode = light ? cmSrcAnd : cmMergePaint;
  canvas.Draw(width - 15, 3, colorpictures::PopupIconBitmap());
  canvas.CopyMode = cmSrcCopy;

  canvas.Font.Name = font().family();
  canvas.Font.Height = -QFontInfo(font()).pixelSize();
  canvas.Font.Style = 0;
  canvas.Font.Color = ink;
  canvas.Brush = {color, bsSolid};
  const QString text = FPicking ? QStringLiteral("Eyedropper") : FOwner.Caption();
  const QSize extent = canvas.TextExtent(text);
  canvas.TextOut((width - extent.width()) / 2, (height - extent.height()) / 2, text);

  if (FOwner.hasFocus()) canvas.DrawFocusRect(QRect(QPoint(2, 2), QPoint(width - 3, height - 3)));
  return bitmap.ToImage();
}

void TColorDisplay::paintEvent(QPaintEvent*) {
  const QImage swatch = RenderSwatch(width(), height());
  if (swatch.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, swatch);
}

void TColorDisplay::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::RightButton) {
    FOwner.ShowColorMenu();
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  if (InPickSquare(p)) {
    FPicking = true;
    FPickedColor = FOwner.Color();
    FPickCursor = colorpictures::CircleCursor();
    QGuiApplication::setOverrideCursor(FPickCursor);
    FOwner.setFocus(Qt::MouseFocusReason);
    update();
    return;
  }
  if (p.x() >= width() - 15 && p.x() < width() - 3 && p.y() >= 3 && p.y() < 15) {
    FOwner.ShowColorMenu();
    return;
  }
  FOwner.ShowColorDialog();
}

void TColorDisplay::mouseMoveEvent(QMouseEvent* event) {
  if (!FPicking) return;
  FPickedColor = FOwner.Color();
  if (!InPickSquare(event->position().toPoint())) {
    // An unreadable display keeps the colour as it is.
    const std::optional<QRgb> pixel =
        FOwner.PixelReader().PixelAt(event->globalPosition().toPoint());
    if (pixel) FPickedColor = FromQRgb(*pixel);
  }
  update();
}

void TColorDisplay::mouseReleaseEvent(QMouseEvent*) {
  if (!FPicking) return;
  RestoreCursor();
  FPicking = false;
  if (FPickedColor != FOwner.Color())
    FOwner.ChooseColor(FPickedColor);
  else
    update();
}

// --- Chart ------------------------------------------------------------------

TColorChart::TColorChart(TColorChoice& owner) : QWidget(&owner), FOwner(owner) {
  setCursor(colorpictures::CircleCursor());
}

QImage TColorChart::RenderChart(int width, int height) const {
  if (width <= 0 || height <= 0) return {};
  if (FOwner.ScreenBitsPerPixel() >= 15) {
    TDIB bitmap;
    bitmap.SetDimensions(width, height, 32);
    const TPixelRows32 rows{bitmap.RowAddress(0), bitmap.RowStep(), width, height};
    RenderChart32(FOwner.Kind(), rows);
    return bitmap.ToImage();
  }
  QImage bitmap(width, height, QImage::Format_RGB32);
  QPainter painter(&bitmap);
  ForEachChartBlock(FOwner.Kind(), width, height, [&](int x, int y, TColor color) {
    painter.fillRect(x, y, 8, 8, ToQColor(color));
  });
  return bitmap;
}

void TColorChart::paintEvent(QPaintEvent*) {
  const QImage chart = RenderChart(width(), height());
  if (chart.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, chart);
}

void TColorChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint p = event->position().toPoint();
    FOwner.PickAt(p.x(), p.y());
  } else if (event->button() == Qt::RightButton) {
    FOwner.ShowColorMenu();
  }
}

void TColorChart::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint p = event->position().toPoint();
  FOwner.PickAt(p.x(), p.y());
}

// --- Picker -----------------------------------------------------------------

TColorChoice::TColorChoice(QWidget* parent)
    : QFrame(parent),
      FCaption(QStringLiteral("Color")),
      FScreenBitsPerPixel(MeasuredScreenBitsPerPixel()),
      FDisplay(new TColorDisplay(*this)),
      FChart(new TColorChart(*this)),
      FMenu(new QMenu(this)),
      FPixelReader(platform::MakeScreenPixelReader()) {
  setFocusPolicy(Qt::StrongFocus);
  setFrameStyle(QFrame::NoFrame);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(FDisplay);
  layout->addWidget(FChart, 1);
  resize(56, 56);

  const auto addItem = [this](const QString& caption, int tag) {
    QAction* action = FMenu->addAction(caption);
    action->setData(tag);
    connect(action, &QAction::triggered, this, [this, tag] { ColorMenuClick(tag); });
    return action;
  };
  FMenu->setDefaultAction(addItem(QStringLiteral("Select..."), kSelectTag));
  addItem(QStringLiteral("Copy"), kCopyTag);
  addItem(QStringLiteral("Paste"), kPasteTag);
  FMenu->addSeparator()->setData(3);
  for (size_t i = 0; i < kNamedColors.size(); ++i)
    addItem(QString::fromLatin1(kNamedColors[i].Name), kFirstNamedTag + static_cast<int>(i));
}

TColorChoice::~TColorChoice() = default;

void TColorChoice::SetCaption(const QString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  FDisplay->update();
}

void TColorChoice::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  FDisplay->update();
}

void TColorChoice::SetKind(TColorChoiceKind kind) {
  if (kind == FKind) return;
  FKind = kind;
  FChart->update();
}

void TColorChoice::SetSingleBorder(bool single) {
  setFrameStyle(single ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
  setLineWidth(1);
}

void TColorChoice::SetScreenBitsPerPixel(int bits) {
  FScreenBitsPerPixel = bits;
  FChart->update();
}

void TColorChoice::SetScreenPixelReader(std::unique_ptr<platform::ScreenPixelReader> reader) {
  if (reader) FPixelReader = std::move(reader);
}

void TColorChoice::PickAt(int x, int y) {
  SetColor(ChartColorAt(FKind, x, y, FChart->width(), FChart->height()));
  // Every pick tells, also one that kept the colour.
  if (OnChange) OnChange();
  setFocus(Qt::MouseFocusReason);
}

void TColorChoice::ChooseColor(TColor color) {
  if (color == FColor) return;
  SetColor(color);
  if (OnChange) OnChange();
}

void TColorChoice::ShowColorDialog() {
  setFocus(Qt::OtherFocusReason);
  TColorBox box(this);
  box.SetCaption(FCaption);
  box.SetColor(FColor);
  if (box.Execute()) ChooseColor(box.Color());
}

void TColorChoice::ShowColorMenu() {
  setFocus(Qt::OtherFocusReason);
  FChart->update();
  for (QAction* action : FMenu->actions())
    if (action->data().toInt() == kPasteTag && !action->isSeparator())
      action->setEnabled(SharedClipboardValid);
  FMenu->popup(QCursor::pos());
}

void TColorChoice::ColorMenuClick(int tag) {
  if (tag == kSelectTag) {
    ShowColorDialog();
  } else if (tag == kCopyTag) {
    SharedClipboardColor = FColor;
    SharedClipboardValid = true;
  } else if (tag == kPasteTag) {
    if (SharedClipboardValid) ChooseColor(SharedClipboardColor);
  } else if (tag >= kFirstNamedTag &&
             tag < kFirstNamedTag + static_cast<int>(kNamedColors.size())) {
    ChooseColor(kNamedColors[static_cast<size_t>(tag - kFirstNamedTag)].Color);
  }
}

void TColorChoice::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    ShowColorDialog();
    return;
  }
  QFrame::keyPressEvent(event);
}

void TColorChoice::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  FDisplay->update();
}

void TColorChoice::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  FDisplay->update();
}
