#pragma once
// The dialogs are laid out in fixed pixel rectangles made for an 11-pixel
// face: each form takes that face and places its controls by name.

#include <QApplication>
#include <QFont>
#include <QLatin1String>
#include <QWidget>

constexpr int kFormFontPixelSize = 11;

// The application's face at the size the layouts were made for.
inline void UseFormFont(QWidget& form) {
  QFont formFont = QApplication::font();
  formFont.setPixelSize(kFormFontPixelSize);
  form.setFont(formFont);
}

// Names a control (tests and accessibility tools find it by that name) and
// puts it at its rectangle.
template <typename Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}
