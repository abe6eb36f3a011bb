// The setup dialog's font list and the still preview of the text.
#include <QFontDatabase>
#include <QListWidget>
#include <QPainter>
#include <QtMath>
#include <exception>

#include "controls/PaintBox.h"
#include "controls/XColorChoiceComp.h"
#include "dib/XDIBUnit.h"
#include "dib/XTextUnit.h"
#include "setup/SetupUnit.h"
#include "setup/XTextLinesMemo.h"

namespace {
constexpr int kFontItemHeight = 13;
constexpr int kPreviewSmoothing = 2;  // 4 x 4 mask pixels per preview pixel
}  // namespace

QStringList SetupFontFaces() {
  QStringList faces = QFontDatabase::families();
  faces << QStringLiteral("Default");
  faces.removeDuplicates();
  std::stable_sort(faces.begin(), faces.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  return faces;
}

void TSetupForm::FillFontList() {
  for (const QString& face : SetupFontFaces()) {
    auto* item = new QListWidgetItem(face, FontListBox);
    item->setSizeHint(QSize(0, kFontItemHeight));
  }
}

void TSetupForm::SelectFontItem() {
  // Only an exact match is selected: a stored name that differs from an
  // installed one in letter case leaves the list without a selection, and
  // the name is kept as it was stored.
  FontListBox->clearSelection();
  const QList<QListWidgetItem*> matches =
      FontListBox->findItems(FFontName, Qt::MatchExactly | Qt::MatchCaseSensitive);
  for (QListWidgetItem* item : matches) {
    item->setSelected(true);
    FontListBox->setCurrentItem(item, QItemSelectionModel::NoUpdate);
    FontListBox->scrollToItem(item);
  }
}

void TSetupForm::FontListBoxClick() {
  const QList<QListWidgetItem*> selected = FontListBox->selectedItems();
  if (selected.isEmpty()) return;
  FFontName = selected.first()->text();
  PreviewPaintBox->repaint();
}

QImage SetupPreviewPicture(QSize size, qreal ratio, const QString& face, TColor color,
                           const QString& text) {
  // Drawn at the screen's own pixels: on a screen of twice the density the
  // text is set twice as large into twice as many pixels and smoothed alike,
  // so it looks the same, only finer, rather than enlarged with its steps.
  const QSize pixels(qCeil(size.width() * ratio), qCeil(size.height() * ratio));
  QImage picture =
      SmoothTextPreview(pixels, face, color, text, kPreviewSmoothing).ToImage();
  picture.setDevicePixelRatio(ratio);
  return picture;
}

void TSetupForm::PreviewPaintBoxPaint(QPainter& canvas, const QRect& clip) {
  // Painted afresh each time: the first row in the chosen face at the box's
  // full cell height, smoothed, in the chosen colour over black. The size
  // and spacing of the animation play no part.
  try {
    const qreal ratio = PreviewPaintBox->devicePixelRatioF();
    const QImage picture = SetupPreviewPicture(PreviewPaintBox->size(), ratio, FFontName,
                                               FontColorChoice->Color(), TextLinesMemo->FirstRow());
    const QRectF source(QPointF(clip.topLeft()) * ratio, QSizeF(clip.size()) * ratio);
    canvas.drawImage(QRectF(clip), picture, source);
  } catch (const std::exception&) {
    // A preview that cannot be drawn stays black; the settings are unharmed.
    canvas.fillRect(clip, Qt::black);
  }
}
