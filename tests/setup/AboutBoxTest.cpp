#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "controls/XLinkComp.h"
#include "resources/LettranceResources.h"
#include "setup/XAboutBoxComp.h"
#include "setup/XAboutBoxUnit.h"
#include "tests/support/QtTestApplication.h"

namespace {

// Runs `act` on the about box once it is shown modally. Whatever `act` does,
// the box is closed afterwards, so a failing check never leaves the test
// hanging in the modal loop.
void WhenShown(std::function<void(TAboutBoxForm&)> act) {
  QTimer::singleShot(0, [act] {
    QPointer<TAboutBoxForm> form = qobject_cast<TAboutBoxForm*>(QApplication::activeModalWidget());
    if (!form) {
      ADD_FAILURE() << "no modal about box on screen";
      for (QWidget* window : QApplication::topLevelWidgets()) window->close();
      return;
    }
    act(*form);
    if (form && form->isVisible()) form->reject();
  });
}

class AboutBoxTest : public ::testing::Test {
 protected:
  void TearDown() override { QGuiApplication::setApplicationDisplayName(QString()); }

  TAboutBox box;
};

TEST_F(AboutBoxTest, LogosAreCompiledIn) {
  const QImage product = resources::LoadBitmap("LETTRANCELOGO");
  EXPECT_EQ(product.size(), QSize(240, 36));
  EXPECT_EQ(product.format(), QImage::Format_Indexed8);
  EXPECT_EQ(product.colorCount(), 256);
  const QImage maker = resources::LoadBitmap("VANDORLOGO");
  EXPECT_EQ(maker.size(), QSize(72, 36));
  EXPECT_TRUE(resources::LoadBitmap("NOSUCHPICTURE").isNull());
}

TEST_F(AboutBoxTest, TransparentPictureLeavesOutTheBottomLeftColour) {
  QImage picture(4, 2, QImage::Format_RGB32);
  picture.fill(QColor(255, 0, 255));
  picture.setPixelColor(1, 0, QColor(10, 20, 30));
  const QImage drawn = resources::TransparentPixmap(picture).toImage();
  EXPECT_EQ(drawn.pixelColor(0, 1).alpha(), 0);
  EXPECT_EQ(drawn.pixelColor(3, 0).alpha(), 0);
  EXPECT_EQ(drawn.pixelColor(1, 0), QColor(10, 20, 30));
}

TEST_F(AboutBoxTest, FormHasTheFixedLayout) {
  TAboutBoxForm form;
  EXPECT_EQ(form.size(), QSize(352, 193));
  const struct {
    QWidget* control;
    const char* name;
    QRect place;
  } controls[] = {
      {form.Bevel1, "Bevel1", {8, 8, 337, 145}},
      {form.Image1, "Image1", {16, 16, 72, 36}},
      {form.ProductImage, "ProductImage", {96, 16, 240, 36}},
      {form.ProductLabel, "ProductLabel", {16, 56, 320, 17}},
      {form.VersionLabel, "VersionLabel", {16, 72, 320, 17}},
      {form.CopyrightLabel, "CopyrightLabel", {16, 88, 320, 17}},
      {form.CompanyLink, "CompanyLink", {16, 104, 320, 17}},
      {form.InfoLabel, "InfoLabel", {16, 128, 321, 17}},
      {form.OKButton, "OKButton", {136, 160, 80, 25}},
  };
  for (const auto& c : controls) {
    EXPECT_EQ(c.control->objectName(), c.name);
    EXPECT_EQ(c.control->geometry(), c.place) << c.name;
  }
  for (QLabel* label : {form.ProductLabel, form.VersionLabel, form.CopyrightLabel,
                        static_cast<QLabel*>(form.CompanyLink), form.InfoLabel}) {
    EXPECT_EQ(label->alignment(), Qt::AlignCenter) << label->objectName().toStdString();
  }
  EXPECT_TRUE(form.ProductLabel->font().bold());
  EXPECT_FALSE(form.VersionLabel->font().bold());
  // A dialog with only the close and system-menu buttons in its title bar.
  const Qt::WindowFlags flags = form.windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_TRUE(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(form.OKButton->isDefault());
  EXPECT_EQ(form.OKButton->text(), "OK");
  EXPECT_EQ(form.Image1->pixmap().size(), QSize(72, 36));
}

TEST_F(AboutBoxTest, ExecuteFillsTheBoxAndOkAnswersTrue) {
  box.SetProduct("Lettrance");
  box.SetVersion("1.06 - 17 Jan 2001");
  box.SetCopyright("2001 Vandor");
  box.SetLink("https://www.vandor.example/");
  box.SetInfoText("Motto");
  QImage logo(240, 36, QImage::Format_RGB32);
  logo.fill(Qt::green);
  box.SetBitmap(logo);
  WhenShown([](TAboutBoxForm& form) {
    EXPECT_EQ(form.windowTitle(), "About Lettrance");
    EXPECT_EQ(form.ProductLabel->text(), "Lettrance");
    EXPECT_EQ(form.VersionLabel->text(), "1.06 - 17 Jan 2001");
    EXPECT_EQ(form.CopyrightLabel->text(), QString::fromUtf8("\u00A9 2001 Vandor"));
    EXPECT_EQ(form.CompanyLink->text(), "https://www.vandor.example/");
    EXPECT_EQ(form.CompanyLink->URLString(), "https://www.vandor.example/");
    EXPECT_EQ(form.InfoLabel->text(), "Motto");
    EXPECT_EQ(form.ProductImage->pixmap().toImage().pixelColor(5, 5), QColor(Qt::green));
    QTest::mouseClick(form.OKButton, Qt::LeftButton);
  });
  EXPECT_TRUE(box.Execute());
}

TEST_F(AboutBoxTest, TextsAreShownAsTheyAreNotAsMarkup) {
  box.SetProduct("<b>x</b>");
  box.SetVersion("<i>1</i>");
  WhenShown([](TAboutBoxForm& form) {
    for (QLabel* label : {form.ProductLabel, form.VersionLabel}) {
      // The tags are shown: wider than the one letter they would leave.
      const QString shown = label->text();
      EXPECT_GE(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(shown) - 1)
          << shown.toStdString();
    }
  });
  box.Execute();
}

TEST_F(AboutBoxTest, EnterAnswersTrueTitleBarAndEscapeAnswerFalse) {
  WhenShown([](TAboutBoxForm& form) { QTest::keyClick(&form, Qt::Key_Return); });
  EXPECT_TRUE(box.Execute());
  WhenShown([](TAboutBoxForm& form) { form.close(); });
  EXPECT_FALSE(box.Execute());
  WhenShown([](TAboutBoxForm& form) { QTest::keyClick(&form, Qt::Key_Escape); });
  EXPECT_FALSE(box.Execute());
}

TEST_F(AboutBoxTest, EmptyProductShowsTheApplicationTitle) {
  // Before the program names itself the title comes from the program file.
  ASSERT_EQ(QCoreApplication::applicationName(), "lettrance-widget-test");
  WhenShown([](TAboutBoxForm& form) {
    EXPECT_EQ(form.ProductLabel->text(), "lettrance-widget-test");
    EXPECT_EQ(form.windowTitle(), "About lettrance-widget-test");
  });
  box.Execute();
  QGuiApplication::setApplicationDisplayName("Lettrance");
  WhenShown([](TAboutBoxForm& form) {
    EXPECT_EQ(form.ProductLabel->text(), "Lettrance");
    EXPECT_EQ(form.windowTitle(), "About Lettrance");
  });
  box.Execute();
}

TEST_F(AboutBoxTest, BoxIsCentredOnTheScreenByItsOuterSize) {
  WhenShown([](TAboutBoxForm& form) {
    // Let the box settle once its frame is known.
    QCoreApplication::processEvents();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect outer = form.frameGeometry();
    EXPECT_EQ(outer.topLeft(), QPoint(screen.x() + (screen.width() - outer.width()) / 2,
                                      screen.y() + (screen.height() - outer.height()) / 2));
  });
  box.Execute();
}

TEST_F(AboutBoxTest, ClickingTheLinkOpensTheAddressAndKeepsTheBoxOpen) {
  box.SetLink("https://www.vandor.example/");
  QList<QUrl> opened;
  WhenShown([&opened](TAboutBoxForm& form) {
    form.CompanyLink->SetUrlOpener([&opened](const QUrl& url) {
      opened << url;
      return true;
    });
    QTest::mouseClick(form.CompanyLink, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    QTest::mouseClick(form.OKButton, Qt::LeftButton);
  });
  EXPECT_TRUE(box.Execute());
  EXPECT_EQ(opened, QList<QUrl>{QUrl("https://www.vandor.example/")});
}

TEST_F(AboutBoxTest, ALargerLogoIsCentredAndCut) {
  // 480 x 72, white, with a red 240 x 36 middle: only red may show.
  QImage logo(480, 72, QImage::Format_RGB32);
  logo.fill(Qt::white);
  QPainter(&logo).fillRect(120, 18, 240, 36, Qt::red);
  box.SetBitmap(logo);
  TAboutBoxForm form;
  box.FillForm(form);
  const QImage shown = form.ProductImage->grab().toImage();
  ASSERT_EQ(shown.size(), QSize(240, 36));
  for (const QPoint corner : {QPoint(0, 0), QPoint(239, 0), QPoint(0, 35), QPoint(239, 35)}) {
    EXPECT_EQ(shown.pixelColor(corner), QColor(Qt::red)) << corner.x() << "," << corner.y();
  }
}

TEST_F(AboutBoxTest, ProgramAboutBoxShowsLettranceDataWithoutCuttingText) {
  QGuiApplication::setApplicationDisplayName("Lettrance");
  bool shown = false;
  WhenShown([&shown](TAboutBoxForm& form) {
    shown = true;
    EXPECT_EQ(form.windowTitle(), "About Lettrance");
    EXPECT_EQ(form.VersionLabel->text(), "1.06 - 17 Jan 2001");
    EXPECT_TRUE(form.CopyrightLabel->text().startsWith(QString::fromUtf8("\u00A9 ")));
    EXPECT_TRUE(form.CompanyLink->URLString().contains(".example"));
    EXPECT_FALSE(form.InfoLabel->text().isEmpty());
    EXPECT_EQ(form.ProductImage->pixmap().size(), QSize(240, 36));
    for (QLabel* label : {form.ProductLabel, form.VersionLabel, form.CopyrightLabel,
                          static_cast<QLabel*>(form.CompanyLink), form.InfoLabel}) {
      const QFontMetrics metrics(label->font());
      EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
          << label->objectName().toStdString();
      EXPECT_LE(metrics.height(), label->height()) << label->objectName().toStdString();
    }
    const QFontMetrics buttonMetrics(form.OKButton->font());
    EXPECT_LT(buttonMetrics.horizontalAdvance(form.OKButton->text()), form.OKButton->width());
  });
  QObject owner;
  ShowAboutBox(&owner);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(owner.children().isEmpty());
}

// Info in a dialog opens the box as that dialog's own: window managers keep
// it above the dialog, also above a full-screen window the dialog stays on
// top of. Opened by the application, it stands alone.
TEST_F(AboutBoxTest, TheBoxBelongsToTheWindowThatOpenedIt) {
  QWidget dialog;
  QWidget* button = new QWidget(&dialog);
  dialog.show();
  const struct {
    QObject* owner;
    QWidget* expected;
  } cases[] = {{button, &dialog}, {&dialog, &dialog}, {qApp, nullptr}};
  for (const auto& c : cases) {
    QWidget* parent = reinterpret_cast<QWidget*>(1);
    WhenShown([&parent](TAboutBoxForm& form) {
      parent = form.parentWidget();
      EXPECT_TRUE(form.isWindow());
    });
    ShowAboutBox(c.owner);
    EXPECT_EQ(parent, c.expected);
  }
}

}  // namespace
