#include <gtest/gtest.h>

#include <QEvent>
#include <QFontMetrics>
#include <set>

#include "resources/LettranceResources.h"
#include "setup/XKeyInfoComp.h"
#include "tests/support/QtTestApplication.h"

namespace {

const QColor kBackground(10, 120, 30);

// The colours of the key part (0, 0)-(32, 24) that are not the background.
std::set<QRgb> KeyColours(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < std::min(24, image.height()); ++y) {
    for (int x = 0; x < std::min(32, image.width()); ++x) {
      if (image.pixelColor(x, y) != kBackground) colours.insert(image.pixel(x, y) | 0xff000000u);
    }
  }
  return colours;
}

TEST(KeyInfoTest, DepthChoosesTheKeyPictureAndCornersTakeTheColour) {
  for (const char* name : {"EMPTYKEYBITMAPWIN", "EMPTYKEYBITMAPPAL"}) {
    const QImage key = resources::LoadBitmap(name);
    EXPECT_EQ(key.size(), QSize(32, 24)) << name;
    EXPECT_EQ(key.colorCount(), 16) << name << " has four bits per pixel";
  }
  const std::set<QRgb> standard = {0xff000000, 0xff800000, 0xff008000, 0xff808000,
                                   0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
                                   0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00,
                                   0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};
  for (int depth : {1, 8, 14, 15, 16, 24, 32}) {
    TKeyInfo info(nullptr, depth);
    EXPECT_EQ(info.size(), QSize(121, 25));
    info.SetColor(kBackground);
    const QImage image = info.grab().toImage();
    // The key picture's pure blue corners show the background instead.
    for (QPoint p : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 23), QPoint(31, 23), QPoint(32, 0),
                     QPoint(120, 24)}) {
      EXPECT_EQ(image.pixelColor(p), kBackground) << "depth " << depth;
    }
    const std::set<QRgb> colours = KeyColours(image);
    size_t greys = 0;
    for (QRgb c : colours) {
      if (depth < 15) {
        EXPECT_TRUE(standard.count(c)) << "depth " << depth << ": " << std::hex << c;
      }
      greys += qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
    }
    if (depth >= 15) {
      EXPECT_EQ(greys, colours.size()) << "depth " << depth;
      EXPECT_GE(colours.size(), 6u) << "depth " << depth << ": a smooth bevel";
    }
  }
}

// The bounding box of the pixels of `colour` in `area`.
QRect Extent(const QImage& image, const QRect& area, const QColor& colour) {
  QRect box;
  for (int y = area.top(); y <= area.bottom() && y < image.height(); ++y) {
    for (int x = area.left(); x <= area.right() && x < image.width(); ++x) {
      if (image.pixelColor(x, y) == colour) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

bool AllOf(const QImage& image, const QRect& area, const QColor& colour) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) != colour) return false;
    }
  }
  return true;
}

TEST(KeyInfoTest, LetterSitsOnTheTopFaceAndTextBesideTheKey) {
  TKeyInfo info(nullptr, 32);
  info.resize(73, 40);  // taller than the key
  info.SetColor(kBackground);
  QFont font = info.Font1().Font;
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);
  info.SetFont1({font, QColor(255, 0, 0)});
  info.SetFont2({font, QColor(0, 0, 255)});
  info.SetCaption("S");
  info.SetText("Next");  // no descenders: its lowest row is the baseline
  const QImage image = info.grab().toImage();
  const QFontMetrics metrics(font);

  // Both sit on their baselines: the letter's line centred on the 18 rows of
  // the top face, the text's on the 24 rows of the key.
  const QRect letter = Extent(image, QRect(0, 0, 32, 24), QColor(255, 0, 0));
  ASSERT_FALSE(letter.isEmpty());
  const int letterLeft = (32 - metrics.horizontalAdvance("S")) / 2;
  EXPECT_GE(letter.left(), letterLeft);
  EXPECT_LE(letter.right(), letterLeft + metrics.horizontalAdvance("S"));
  EXPECT_NEAR(letter.bottom(), (18 - metrics.height()) / 2 + metrics.ascent() - 1, 1);

  const QRect text = Extent(image, image.rect(), QColor(0, 0, 255));
  ASSERT_FALSE(text.isEmpty());
  EXPECT_GE(text.left(), 34);
  EXPECT_LE(text.left(), 35);
  EXPECT_NEAR(text.bottom(), (24 - metrics.height()) / 2 + metrics.ascent() - 1, 1);
  EXPECT_TRUE(AllOf(image, QRect(0, 24, 73, 16), kBackground)) << "below the key";
}

TEST(KeyInfoTest, LetterIsClippedToTheKeyAndANarrowControlToItself) {
  TKeyInfo info(nullptr, 32);
  info.SetColor(kBackground);
  QFont font = info.Font1().Font;
  font.setPixelSize(11);
  info.SetFont1({font, QColor(255, 0, 0)});
  info.SetCaption("WWWWWWWW");
  const QImage wide = info.grab().toImage();
  EXPECT_TRUE(AllOf(wide, QRect(32, 0, 89, 25), kBackground));
  EXPECT_FALSE(Extent(wide, QRect(0, 0, 32, 24), QColor(255, 0, 0)).isEmpty());

  // A narrow control shows the left part of the key as the wide one does.
  info.SetCaption(QString());
  const QImage full = info.grab().toImage();
  info.resize(20, 25);
  const QImage narrow = info.grab().toImage();
  ASSERT_EQ(narrow.size(), QSize(20, 25));
  EXPECT_EQ(narrow, full.copy(0, 0, 20, 25));
}

// Counts the paint events the control receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST(KeyInfoTest, RepaintsOnlyOnARealChange) {
  TKeyInfo info(nullptr, 32);
  info.SetCaption("S");
  info.show();
  QCoreApplication::processEvents();
  PaintCounter counter;
  info.installEventFilter(&counter);
  info.SetCaption("S");
  info.SetText(QString());
  info.SetColor(info.Color());
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.paints, 0);
  info.SetText("Next");
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.paints, 1);
}

}  // namespace
