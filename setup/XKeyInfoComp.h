#pragma once
// TKeyInfo: a keyboard key cap with a letter on it and a text to its right,
// such as a key "S" followed by "Setup". It takes no focus and has no events.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

// A font with the colour its text is drawn in.
struct TKeyInfoFont {
  QFont Font;
  QColor Color;

  bool operator==(const TKeyInfoFont&) const = default;
};

class TKeyInfo : public QWidget {
  Q_OBJECT

 public:
  // screenDepth: bits per pixel of the screen, which chooses the key picture:
  // below 15 the one in the sixteen standard colours, from 15 on the one in
  // shades of grey. On a screen of higher density, the key is drawn from
  // the picture's twice-sized form.
  explicit TKeyInfo(QWidget* parent = nullptr, int screenDepth = ScreenDepth());

  // Background of the whole control; the corners outside the key show it too.
  QColor Color() const { return FColor; }
  void SetColor(const QColor& color);

  // Font of the letter on the key.
  const TKeyInfoFont& Font1() const { return FFont1; }
  void SetFont1(const TKeyInfoFont& font);

  // Font of the text beside the key.
  const TKeyInfoFont& Font2() const { return FFont2; }
  void SetFont2(const TKeyInfoFont& font);

  // The letter (or short label) on the key.
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);

  // The text to the right of the key.
  QString Text() const { return FText; }
  void SetText(const QString& text);

  // Bits per pixel of the primary screen (32 when there is none).
  static int ScreenDepth();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The control as it is drawn, at `ratio` device pixels per pixel.
  QImage Render(qreal ratio) const;

  const int FScreenDepth;
  QColor FColor;
  TKeyInfoFont FFont1;
  TKeyInfoFont FFont2;
  QString FCaption;
  QString FText;
};
