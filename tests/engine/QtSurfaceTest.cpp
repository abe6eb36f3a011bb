// The Qt drawing surface, checked on its pixels: black fill, letter placement
// from the top-left corner, rotation sense, colours, transparency, the
// background copy and the hand-over of frames.
#include "engine/QtSurface.h"

#include "engine/LetterMask.h"

#include <QFontMetrics>

#include "tests/support/QtTestApplication.h"

namespace {

constexpr std::u32string_view kBlock = U"\u2588";  // a glyph that fills its whole cell

class QtSurfaceTest : public ::testing::Test {
 protected:
  QtSurfaceTest() : surface(400, 300) {
    surface.SetFontFace("DejaVu Sans");
    surface.SetFontSize(30);  // 40 pixels
    surface.SetFontColor(MakeColor(10, 20, 30));
    surface.FillBlack();
  }
  QRgb At(int x, int y) const { return surface.Image().pixel(x, y); }
  TextExtent Block() { return surface.MeasureText(kBlock); }

  QtSurface surface;
  const QRgb black = qRgb(0, 0, 0);
  const QRgb ink = qRgb(10, 20, 30);
};

TEST_F(QtSurfaceTest, PointSizesAreAt96DotsPerInch) {
  EXPECT_EQ(QtSurface::PixelSizeForPoints(30), 40);
  EXPECT_EQ(QtSurface::PixelSizeForPoints(60), 80);
  EXPECT_EQ(QtSurface::PixelSizeForPoints(7), 9);  // 9.33
  EXPECT_GT(QtSurface::PixelSizeForPoints(0), 0);  // the platform's default
  EXPECT_EQ(QtSurface::PixelSizeForPoints(-5), QtSurface::PixelSizeForPoints(0));
  EXPECT_EQ(QtSurface::PixelSizeForPoints(INT32_MAX), 1 << 20);  // never wraps negative
  EXPECT_EQ(surface.Font().pixelSize(), 40);
  EXPECT_EQ(surface.Image().format(), QImage::Format_RGB32);
}

TEST_F(QtSurfaceTest, ExtentsAreTheAdvanceAndAscentPlusDescent) {
  const QFontMetrics metrics(surface.Font());
  const TextExtent letter = surface.MeasureText(U"W");
  EXPECT_EQ(letter.Width, metrics.horizontalAdvance(QChar('W')));
  EXPECT_EQ(letter.Height, metrics.ascent() + metrics.descent());
  EXPECT_EQ(surface.MeasureText(U"W").Width, letter.Width);  // again, from the cache
  EXPECT_EQ(surface.MeasureText(U"").Height, letter.Height);
  surface.SetFontSize(60);
  EXPECT_GT(surface.MeasureText(U"W").Width, letter.Width);
}

TEST_F(QtSurfaceTest, ALetterFillsItsCellBelowAndRightOfItsPoint) {
  const TextExtent cell = Block();
  surface.DrawLetter(100, 50, kBlock);
  surface.HandOver(nullptr);
  EXPECT_EQ(At(100 + cell.Width / 2, 50 + cell.Height / 2), ink);
  EXPECT_EQ(At(100 + cell.Width / 2, 50 - 4), black);
  EXPECT_EQ(At(100 - 4, 50 + cell.Height / 2), black);
  EXPECT_EQ(At(100 + cell.Width / 2, 50 + cell.Height + 4), black);
}

TEST_F(QtSurfaceTest, AnglesTurnCounterClockwiseAboutTheTopLeftPoint) {
  const TextExtent cell = Block();
  surface.SetFontAngle(900);  // the cell now lies right of and above the point
  surface.DrawLetter(200, 150, kBlock);
  surface.HandOver(nullptr);
  EXPECT_EQ(At(200 + cell.Height / 2, 150 - cell.Width / 2), ink);
  EXPECT_EQ(At(200 + cell.Width / 2, 150 + cell.Height / 2), black);

  surface.FillBlack();
  surface.SetFontAngle(2700);  // left of and below the point
  surface.DrawLetter(200, 150, kBlock);
  surface.HandOver(nullptr);
  EXPECT_EQ(At(200 - cell.Height / 2, 150 + cell.Width / 2), ink);
  EXPECT_EQ(At(200 + cell.Height / 2, 150 - cell.Width / 2), black);

  // A new size comes unrotated.
  surface.SetFontSize(30);
  EXPECT_EQ(surface.Angle(), 0);
}

TEST_F(QtSurfaceTest, LettersLeaveTheBackgroundAroundThemAlone) {
  QImage white(400, 300, QImage::Format_RGB32);
  white.fill(Qt::white);
  const Picture picture(white);
  surface.CopyBackground(picture);
  surface.DrawLetter(100, 50, U"o");
  surface.HandOver(nullptr);
  EXPECT_EQ(At(98, 48), qRgb(255, 255, 255));
  EXPECT_EQ(At(300, 200), qRgb(255, 255, 255));
}

TEST_F(QtSurfaceTest, TheBackgroundIsTheTopLeftOfThePicture) {
  QImage big(500, 400, QImage::Format_ARGB32);
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 500; ++x) big.setPixel(x, y, qRgb(x % 256, y % 256, 7));
  surface.CopyBackground(Picture(big));
  EXPECT_EQ(At(0, 0), qRgb(0, 0, 7));
  EXPECT_EQ(At(399, 299), qRgb(399 % 256, 299 % 256, 7));

  // A picture smaller than the surface leaves black around it.
  surface.CopyBackground(Picture(big.copy(0, 0, 100, 50)));
  EXPECT_EQ(At(99, 49), qRgb(99, 49, 7));
  EXPECT_EQ(At(100, 10), black);
  EXPECT_EQ(At(10, 50), black);
}

TEST_F(QtSurfaceTest, TheSinkKeepsACopyOfEachFrame) {
  ImageSink sink;
  surface.DrawLetter(100, 50, kBlock);
  surface.HandOver(&sink);
  EXPECT_EQ(sink.Frames(), 1);
  ASSERT_EQ(sink.Frame().size(), QSize(400, 300));
  EXPECT_EQ(sink.Frame(), surface.Image());
  surface.FillBlack();  // the next frame does not change the last one shown
  EXPECT_NE(sink.Frame(), surface.Image());
  surface.HandOver(&sink);
  EXPECT_EQ(sink.Frames(), 2);
  EXPECT_EQ(sink.Frame(), surface.Image());
}

TEST_F(QtSurfaceTest, TheDefaultFaceAndTinySurfacesWork) {
  QtSurface tiny(0, 0);
  EXPECT_EQ(tiny.Image().size(), QSize(1, 1));
  tiny.SetFontFace("Default");
  tiny.SetFontSize(0);
  EXPECT_GT(tiny.MeasureText(U"A").Height, 0);
  tiny.DrawLetter(-50, 100000, U"A");  // far outside: clipped
  tiny.HandOver(nullptr);
  EXPECT_EQ(tiny.Image().pixel(0, 0), qRgb(0, 0, 0));
}

}  // namespace

namespace {

// Letters as LetterEnds cuts them.
std::vector<std::u32string> Cut(QtSurface& surface, std::u32string_view text) {
  std::vector<std::u32string> letters;
  size_t start = 0;
  for (const size_t end : surface.LetterEnds(text)) {
    letters.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return letters;
}

TEST_F(QtSurfaceTest, ALetterIsWhatAReaderSeesAsOneCharacter) {
  using L = std::vector<std::u32string>;
  const struct {
    std::u32string_view text;
    L letters;
  } cases[] = {
      {U"Abc", {U"A", U"b", U"c"}},
      {U"", {}},
      {U"e\u0300x", {U"e\u0300", U"x"}},                            // a decomposed accent
      {U"\u0301a", {U"\u0301", U"a"}},                              // a mark with no base
      {U"\U0001F44D\U0001F3FD!", {U"\U0001F44D\U0001F3FD", U"!"}},  // skin tone
      {U"\U0001F468\u200D\U0001F469\u200D\U0001F467",               // a family
       {U"\U0001F468\u200D\U0001F469\u200D\U0001F467"}},
      {U"\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7",  // two flags
       {U"\U0001F1E9\U0001F1EA", U"\U0001F1EB\U0001F1F7"}},
      {U"\u1100\u1161\u11A8", {U"\u1100\u1161\u11A8"}},  // a Hangul syllable in jamo
      {U"a\tb", {U"a", U"\t", U"b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Cut(surface, c.text), c.letters);
}

// Whatever a letter is and however it is turned, restoring the places the
// surface noted leaves none of its ink behind.
TEST_F(QtSurfaceTest, TheRestoredPlacesCoverAllInkOfEveryLetterAtEveryAngle) {
  QtSurface big(900, 900);
  big.SetFontFace("DejaVu Sans");
  big.SetFontColor(MakeColor(255, 255, 255));
  const std::u32string_view letters[] = {U"W",
                                         U"e\u0300",
                                         U"q\u0323\u0307",
                                         U"\u0301",
                                         U"Z\u0336\u0337\u0338",
                                         U"\u0192",
                                         U"j",
                                         U"\U0001F44D\U0001F3FD",
                                         U"\U0001F1E9\U0001F1EA",
                                         U"\u65E5",
                                         U"\u0928\u094D\u0924\u0947"};
  const auto allBlack = [&] {
    const QImage& image = big.Image();
    for (int y = 0; y < image.height(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if (row[x] != 0xFF000000) return false;
    }
    return true;
  };
  for (const int32_t points : {24, 300}) {
    for (const int32_t angle : {0, 450, 900, 1234, 1800, 2700, 3333}) {
      for (const std::u32string_view letter : letters) {
        big.FillBlack();
        big.SetFontSize(points);
        big.SetFontAngle(angle);
        big.DrawLetter(450, 450, letter);
        big.HandOver(nullptr);
        ASSERT_FALSE(allBlack()) << "nothing drawn";
        big.FillBlack();
        EXPECT_TRUE(allBlack()) << "letter U+" << std::hex << static_cast<uint32_t>(letter[0])
                                << std::dec << " at " << points << " points, angle " << angle;
      }
    }
  }
}

// Above Qt's own glyph pictures (64 pixels), a letter drawn upright again is
// blended from its coverage: pixel for pixel what drawing its glyphs gives,
// over any background, in any colour, cut off at the edges or not.
TEST_F(QtSurfaceTest, LettersDrawnAgainFromTheirCoverageLookTheSame) {
  QImage pattern(300, 260, QImage::Format_RGB32);
  for (int y = 0; y < pattern.height(); ++y)
    for (int x = 0; x < pattern.width(); ++x)
      pattern.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x * y) % 256));
  const Picture desktop(pattern);
  struct Case {
    std::u32string_view letter;
    int32_t points;
    TColor colour;
    QPoint at;
    bool overPattern;
  };
  const Case cases[] = {
      {U"W", 60, MakeColor(240, 192, 0), {10, 10}, false},
      {U"g", 100, MakeColor(255, 255, 255), {-25, -40}, true},     // cut off left and top
      {U"e\u0301", 70, MakeColor(1, 128, 254), {240, 200}, true},  // cut off right and bottom
      {U"q\u0323\u0307", 49, MakeColor(0, 0, 0), {50, 30}, true},  // 65 pixels
      {U"\u65E5", 80, MakeColor(90, 10, 200), {60, 60}, false},
      {U"&", 190, MakeColor(17, 34, 51), {0, 0}, true},  // 253 pixels
  };
  for (const Case& c : cases) {
    const auto draw = [&](QtSurface& target, int times) {
      target.SetFontFace("DejaVu Sans");
      target.SetFontSize(c.points);
      target.SetFontColor(c.colour);
      for (int i = 0; i < times; ++i) {
        if (c.overPattern) {
          target.CopyBackground(desktop);
        } else {
          target.FillBlack();
        }
        target.DrawLetter(c.at.x(), c.at.y(), c.letter);
      }
      target.HandOver(nullptr);
    };
    QtSurface fromGlyphs(300, 260);
    draw(fromGlyphs, 1);
    auto letters = std::make_shared<LetterCache>();
    QtSurface fromCoverage(300, 260, letters);
    draw(fromCoverage, 2);
    const std::string what = "U+" + QString::number(c.letter[0], 16).toStdString() + " at " +
                             std::to_string(c.points) + " points";
    // The second drawing did come from a coverage picture.
    letters->Select(QStringLiteral("DejaVu Sans"), fromCoverage.Font());
    EXPECT_FALSE(letters->Find(c.letter).Coverage.isNull()) << what;
    EXPECT_EQ(fromCoverage.Image(), fromGlyphs.Image()) << what;
  }
}

// Turned letters above 64 pixels are filled from outlines kept from their
// first drawing: pixel for pixel what drawing their glyphs gives, at any turn.
TEST_F(QtSurfaceTest, TurnedLettersFilledFromKeptOutlinesLookTheSame) {
  const std::u32string_view letters[] = {U"W", U"g", U"e\u0301", U"Z\u0336\u0338", U"\u65E5"};
  for (const int pixels : {65, 80, 133, 300}) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    for (const std::u32string_view letter : letters) {
      const LetterShape shape = ShapeLetter(
          font, QString::fromUcs4(letter.data(), static_cast<qsizetype>(letter.size())));
      const QList<QPainterPath> outlines = LetterOutlines(shape);
      for (const double degrees : {-90.0, -12.5, -45.0, -180.0, -333.3, 0.0}) {
        const auto draw = [&](bool fromOutlines) {
          QImage image(700, 700, QImage::Format_RGB32);
          image.fill(qRgb(20, 60, 100));
          QPainter painter(&image);
          painter.setRenderHint(QPainter::TextAntialiasing);
          painter.translate(350, 350);
          painter.rotate(degrees);
          if (fromOutlines) {
            FillLetterOutlines(painter, QPointF(0, 0), outlines, QColor(240, 192, 0));
          } else {
            painter.setPen(QColor(240, 192, 0));
            DrawLetterShape(painter, QPointF(0, 0), shape);
          }
          return image;
        };
        EXPECT_EQ(draw(true), draw(false))
            << "U+" << std::hex << static_cast<uint32_t>(letter[0]) << std::dec << " at " << pixels
            << " pixels, turned " << degrees;
      }
    }
  }
}

TEST_F(QtSurfaceTest, ShadowsOfColourLettersAreBlackSilhouettes) {
  QImage white(400, 300, QImage::Format_RGB32);
  white.fill(Qt::white);
  const Picture picture(white);
  const auto colours = [&](int32_t x) {
    int grey = 0, coloured = 0;
    for (int y = 0; y < 300; ++y) {
      for (int dx = 0; dx < 60; ++dx) {
        const QRgb p = At(x + dx, y);
        if (p == qRgb(255, 255, 255)) continue;
        (qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) ? grey : coloured)++;
      }
    }
    return std::pair{grey, coloured};
  };
  surface.CopyBackground(picture);
  surface.SetFontColor(MakeColor(0, 0, 0));
  surface.DrawLetter(20, 50, U"\U0001F98A");  // a fox, drawn in its own colours
  surface.SetSilhouette(true);
  surface.DrawLetter(120, 50, U"\U0001F98A");  // its shadow
  surface.SetFontColor(MakeColor(200, 0, 0));
  surface.DrawLetter(220, 50, U"A");  // a plain letter keeps the pen colour
  surface.HandOver(nullptr);
  EXPECT_GT(colours(20).second, 100);
  EXPECT_GT(colours(120).first, 500);
  EXPECT_EQ(colours(120).second, 0);
  EXPECT_EQ(At(125, 200), qRgb(255, 255, 255));  // nothing below the letter
  EXPECT_GT(colours(220).second, 100);
}

TEST_F(QtSurfaceTest, OnlyThePlacesThatChangedAreHandedOver) {
  ImageSink sink, other;
  const QRegion whole(surface.Image().rect());
  const QRect cell(QPoint(0, 0), QSize(Block().Width, Block().Height));
  surface.DrawLetter(20, 20, kBlock);
  surface.HandOver(&sink);
  EXPECT_EQ(sink.Changed(), whole);  // the first frame

  surface.FillBlack();
  surface.DrawLetter(200, 150, kBlock);
  surface.HandOver(&sink);
  // The old place and the new one, and nothing far from both.
  EXPECT_TRUE(sink.Changed().contains(cell.translated(20, 20)));
  EXPECT_TRUE(sink.Changed().contains(cell.translated(200, 150)));
  EXPECT_FALSE(sink.Changed().contains(QPoint(380, 20)));
  EXPECT_EQ(sink.Frame(), surface.Image());

  // Frames shown nowhere still count for the next target.
  surface.FillBlack();
  surface.DrawLetter(300, 20, kBlock);
  surface.HandOver(nullptr);
  surface.FillBlack();
  surface.HandOver(&sink);
  EXPECT_TRUE(sink.Changed().contains(cell.translated(200, 150)));
  EXPECT_TRUE(sink.Changed().contains(cell.translated(300, 20)));
  EXPECT_EQ(sink.Frame(), surface.Image());

  surface.HandOver(&other);  // a target that has seen nothing yet
  EXPECT_EQ(other.Changed(), whole);
  QImage grey(400, 300, QImage::Format_RGB32);
  grey.fill(Qt::gray);
  surface.CopyBackground(Picture(grey));  // a new background
  surface.HandOver(&other);
  EXPECT_EQ(other.Changed(), whole);
}

}  // namespace
