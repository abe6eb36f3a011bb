#pragma once
// The pictures of the colour picker and the colour dialog, loaded from the
// program's resources once and shared by every control.

#include <QCursor>
#include <QImage>

#include "engine/XColorUnit.h"

namespace colorpictures {

// The ring cursor of the picker's chart and eyedropper, hot spot (7, 7).
QCursor CircleCursor();
// The same ring cursor for the dialog's field and strip.
QCursor BoxCircleCursor();
// The dialog's 16 x 16 ring marker; draw it with MarkerKeyColor transparent.
const QImage& MarkerBitmap();
TColor MarkerKeyColor();
// The picker's 12 x 12 black-on-white menu icon.
const QImage& PopupIconBitmap();

}  // namespace colorpictures
