// The setup dialog and the about box on a screen of twice the density
// (QT_SCALE_FACTOR=2): the dialog takes the same room, and its pictures are
// drawn with the screen's pixels rather than enlarged.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>

#include "controls/PaintBox.h"
#include "controls/XColorChoiceComp.h"
#include "settings/GlobalsUnit.h"
#include "setup/SetupUnit.h"
#include "setup/XAboutBoxUnit.h"
#include "setup/XKeyInfoComp.h"
#include "setup/XTextLinesMemo.h"
#include "tests/settings/RegistryTestStore.h"
#include "tests/support/PictureChecks.h"
#include "tests/support/QtTestApplication.h"

namespace {

// Before the application exists: Qt reads it once, at start.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

const char* const kKey = "Software\\Vandor\\ScreenSaver\\Lettrance";

class SetupFormScaledTest : public ::testing::Test {
 protected:
  SetupFormScaledTest() {
    QGuiApplication::setApplicationDisplayName("Lettrance");
    StoredVersion = ProgramVersion;
    SetInstalledFontsProvider([] { return std::vector<std::string>{"Default", "DejaVu Sans"}; });
    registry.SetString(kKey, "FontName", "DejaVu Sans");
    registry.SetDword(kKey, "FontColor", 0x0000FF);  // red
    registry.SetString(kKey, "Text", "Lettrance");
  }
  ~SetupFormScaledTest() override {
    SetInstalledFontsProvider(nullptr);
    QGuiApplication::setApplicationDisplayName(QString());
  }

  RegistryTestStore registry;
};

TEST_F(SetupFormScaledTest, ThePreviewHasTwiceThePixelsAndTheSameInk) {
  ASSERT_TRUE(kScaled);
  TSetupForm form;
  form.show();
  QApplication::processEvents();
  ASSERT_EQ(form.devicePixelRatioF(), 2.0);
  EXPECT_EQ(form.size(), QSize(569, 370));  // the same room as at 1
  ASSERT_EQ(form.TextLinesMemo->FirstRow(), "Lettrance");

  const QImage shown = form.PreviewPaintBox->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(462, 78));
  // The same text at a ratio of 1, as the dialog draws it there; red over
  // black, so the red channel is the ink.
  const QImage one = SetupPreviewPicture({231, 39}, 1.0, "DejaVu Sans", 0x0000FF, "Lettrance")
                         .convertToFormat(QImage::Format_RGB32);
  long inkOne = 0, inkTwo = 0;
  for (int y = 0; y < 39; ++y) {
    for (int x = 0; x < 231; ++x) inkOne += 4 * qRed(one.pixel(x, y));
  }
  for (int y = 0; y < 78; ++y) {
    for (int x = 0; x < 462; ++x) inkTwo += qRed(shown.pixel(x, y));
  }
  ASSERT_GT(inkOne, 0);
  EXPECT_NEAR(static_cast<double>(inkTwo) / static_cast<double>(inkOne), 1.0, 0.03);
  EXPECT_GT(MixedBlocks(shown), 100) << "the ratio-1 picture enlarged";
  form.reject();
}

TEST_F(SetupFormScaledTest, TheKeysAndTheLogoAreDrawnWithTheScreensPixels) {
  TSetupForm form;
  form.show();
  QApplication::processEvents();
  for (TKeyInfo* key : {form.KeyInfo1, form.KeyInfo2}) {
    const QImage shown = key->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(146, 50));
    // The key cap (32 x 24, 64 x 48 pixels here) with its letter: blocks of
    // mixed colour along the rounded corners and the letter's edges, where
    // an enlarged picture has none.
    EXPECT_GT(MixedBlocks(shown.copy(0, 0, 64, 48)), 20) << key->Caption().toStdString();
    // Beside it, the text.
    EXPECT_GT(MixedBlocks(shown.copy(68, 0, 78, 50)), 20) << key->Text().toStdString();
  }
  const QPixmap logo = form.Image1->pixmap();
  EXPECT_EQ(logo.size(), QSize(144, 72));
  EXPECT_EQ(logo.devicePixelRatio(), 2.0);
  form.reject();
}

TEST_F(SetupFormScaledTest, TheAboutBoxShowsTheTwiceSizedLogos) {
  QSize product, maker;
  qreal productRatio = 0;
  QTimer::singleShot(0, [&] {
    auto* form = qobject_cast<TAboutBoxForm*>(QApplication::activeModalWidget());
    if (form == nullptr) return;
    product = form->ProductImage->pixmap().size();
    productRatio = form->ProductImage->pixmap().devicePixelRatio();
    maker = form->Image1->pixmap().size();
    form->accept();
  });
  ShowAboutBox(qApp);
  EXPECT_EQ(product, QSize(480, 72));
  EXPECT_EQ(productRatio, 2.0);
  EXPECT_EQ(maker, QSize(144, 72));
}

}  // namespace
