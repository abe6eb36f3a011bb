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

// A picture that is drawn transparent: every pixel of the colour of its
// bottom-left pixel is left out. A null image gives a null pixmap.
QPixmap TransparentPixmap(const QImage& image);

}  // namespace resources
