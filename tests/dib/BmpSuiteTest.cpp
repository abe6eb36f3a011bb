// The public BMP test images: every good file with a 12- or 40-byte header
// decodes to the pixels Qt's own BMP reader gives; the rest and every
// questionable file either decodes to those pixels too or is refused with one
// of the reader's errors. Nothing may crash or read past a file (the
// sanitizer build runs this too).
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <map>
#include <set>
#include <string>

#include "dib/XDIBUnit.h"
#include "tests/support/QtTestApplication.h"

namespace {

const QString kSuite = QStringLiteral(LETTRANCE_BMPSUITE_DIR);

// Files this reader refuses on purpose, with the error it gives.
const std::map<std::string, std::string> kRefused = {
    // information headers of 108 and 124 bytes
    {"g/pal8v4.bmp", "DIB is invalid"},
    {"g/pal8v5.bmp", "DIB is invalid"},
};

const std::set<std::string> kErrors = {"DIB is invalid", "PixelFormat in invalid",
                                       "Bitcount in invalid (2)", "Bitcount in invalid (64)"};

struct Outcome {
  TDIB dib;
  std::string error;
};

Outcome Load(const QString& path) {
  Outcome outcome;
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  try {
    outcome.dib.LoadFile(file);
  } catch (const std::exception& error) {
    outcome.error = error.what();
  }
  return outcome;
}

// The first pixel whose colour differs, with both colours; "" when none does.
// 16-bit pixels are compared as 16-bit values: Qt widens 5-bit channels by
// shifting, QImage's own conversion by repeating the top bits.
// `holes` lets pixels of colour-table entry 0 (never set by RLE data) pass.
std::string FirstDifference(const TDIB& dib, const QImage& expected, bool holes = false) {
  const QImage::Format format =
      dib.BitsPerPixel() == 16 ? dib.ToImage().format() : QImage::Format_RGB32;
  const QImage ours = dib.ToImage().convertToFormat(format).convertToFormat(QImage::Format_RGB32);
  const QImage theirs =
      expected.convertToFormat(format).convertToFormat(QImage::Format_RGB32);
  if (ours.size() != theirs.size()) return "size";
  const TColorEntry& zero = dib.ColorTable[0];
  const QRgb hole = qRgb(zero.Red, zero.Green, zero.Blue) & 0xFFFFFF;
  for (int y = 0; y < ours.height(); ++y) {
    for (int x = 0; x < ours.width(); ++x) {
      const QRgb mine = ours.pixel(x, y) & 0xFFFFFF;
      if (mine != (theirs.pixel(x, y) & 0xFFFFFF) && !(holes && mine == hole)) {
        char text[64];
        std::snprintf(text, sizeof text, "%d,%d: %06X, not %06X", x, y, mine,
                      theirs.pixel(x, y) & 0xFFFFFF);
        return text;
      }
    }
  }
  return "";
}

QStringList Files(const QString& folder) {
  return QDir(kSuite + "/" + folder).entryList({"*.bmp"}, QDir::Files, QDir::Name);
}

class BmpSuiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QDir(kSuite + "/g").exists()) GTEST_SKIP() << "no BMP suite at " << kSuite.toStdString();
  }
};

TEST_F(BmpSuiteTest, GoodFilesDecodeAsQtDecodesThemOrAreRefusedOnPurpose) {
  const QStringList files = Files("g");
  EXPECT_GE(files.size(), 20);
  for (const QString& name : files) {
    const std::string key = "g/" + name.toStdString();
    SCOPED_TRACE(key);
    const Outcome outcome = Load(kSuite + "/g/" + name);
    const auto refused = kRefused.find(key);
    if (refused != kRefused.end()) {
      EXPECT_EQ(outcome.error, refused->second);
      continue;
    }
    ASSERT_EQ(outcome.error, "");
    EXPECT_EQ(FirstDifference(outcome.dib, QImage(kSuite + "/g/" + name, "BMP")), "");
  }
}

// What each questionable file that loads must look like: the same picture as
// a good file, or that picture with holes where RLE data skipped or stopped
// early (zero-filled: colour 0). Every other questionable file is refused.
struct Questionable {
  const char* reference;  // in g/, or nullptr: loads, nothing to compare
  bool holes;
};
const std::map<std::string, Questionable> kLoads = {
    {"pal1p1.bmp", {nullptr, false}},  // one colour: pixels of colour 1 are black
    {"pal4rlecut.bmp", {"pal4.bmp", true}},
    {"pal4rletrns.bmp", {"pal4.bmp", true}},
    {"pal8rlecut.bmp", {"pal8.bmp", true}},
    {"pal8rletrns.bmp", {"pal8.bmp", true}},
    {"pal8offs.bmp", {"pal8.bmp", false}},          // a gap before the pixels
    {"pal8oversizepal.bmp", {"pal8.bmp", false}},   // 300 colours
    {"pal8os2sp.bmp", {"pal8.bmp", false}},         // 252 colours of 3 bytes
    {"pal8os2-hs.bmp", {"pal8.bmp", false}},
    {"pal8os2-sz.bmp", {"pal8.bmp", false}},
    {"pal8os2v2-40sz.bmp", {"pal8.bmp", false}},
    {"rgb16faketrns.bmp", {"rgb16.bmp", false}},
    {"rgb24largepal.bmp", {"rgb24.bmp", false}},
    {"rgb32fakealpha.bmp", {"rgb24.bmp", false}},
};

TEST_F(BmpSuiteTest, QuestionableFilesDecodeSensiblyOrAreRefusedClearly) {
  const QStringList files = Files("q");
  EXPECT_GE(files.size(), 40);
  for (const QString& name : files) {
    SCOPED_TRACE("q/" + name.toStdString());
    const Outcome outcome = Load(kSuite + "/q/" + name);
    const auto loads = kLoads.find(name.toStdString());
    if (loads == kLoads.end()) {
      EXPECT_TRUE(kErrors.count(outcome.error)) << "error: " << outcome.error;
      continue;
    }
    ASSERT_EQ(outcome.error, "");
    if (loads->second.reference != nullptr) {
      const TDIB reference = Load(kSuite + "/g/" + loads->second.reference).dib;
      EXPECT_EQ(FirstDifference(outcome.dib, reference.ToImage(), loads->second.holes), "");
    }
    // What loads saves and loads again to the same pixels.
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    outcome.dib.SaveFile(buffer);
    buffer.seek(0);
    TDIB again;
    again.LoadFile(buffer);
    EXPECT_EQ(FirstDifference(again, outcome.dib.ToImage()), "");
  }
}

}  // namespace
