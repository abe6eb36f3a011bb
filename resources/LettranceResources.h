#pragma once
// Access to the pictures compiled into the program, by their resource name.

#include <QImage>
#include <QPixmap>
#include <QString>

namespace resources {

// ":/NAME": the path under which the picture NAME is registered.
QString ResourcePath(const QString& name);

// The picture NAME, or a null image when there is none of that name.
QImage LoadBitmap(const QString& name);

// The picture NAME for a screen of `ratio` device pixels per pixel: above 1,
// its form drawn at twice the size ("NAME@2x", marked with a device pixel
// ratio of 2, so it takes the same room) where there is one; else NAME
// itself. The twice-sized form stays sharp where NAME would be enlarged.
QImage LoadBitmap(const QString& name, qreal ratio);

// A picture that is drawn transparent: every pixel of the colour of its
// bottom-left pixel is left out. A null image gives a null pixmap. The
// pixmap keeps the picture's device pixel ratio.
QPixmap TransparentPixmap(const QImage& image);

}  // namespace resources
