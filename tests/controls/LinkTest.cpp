#include <gtest/gtest.h>

#include <QStringList>
#include <QTest>

#include "controls/XLinkComp.h"
#include "tests/support/QtTestApplication.h"

namespace {

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    link.resize(200, 17);
    link.setText("www.vandor.example");
    link.OnClick = [this] { log << "click"; };
    link.SetUrlOpener([this](const QUrl& url) {
      log << "open " + url.toString();
      return true;
    });
  }

  TLink link;
  QStringList log;
};

TEST_F(LinkTest, LooksLikeALink) {
  EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_TRUE(link.URLString().isEmpty());
}

TEST_F(LinkTest, WithoutAnAddressAClickOnlyFiresOnClick) {
  QTest::mouseClick(&link, Qt::LeftButton);
  EXPECT_EQ(log, QStringList{"click"});
  link.SetURLString("   ");
  QTest::mouseClick(&link, Qt::LeftButton);
  EXPECT_EQ(log, (QStringList{"click", "click"}));
}

TEST_F(LinkTest, WithAnAddressOnClickComesFirstThenTheAddressOpens) {
  link.SetURLString("https://www.vandor.example/");
  QTest::mouseClick(&link, Qt::LeftButton);
  EXPECT_EQ(log, (QStringList{"click", "open https://www.vandor.example/"}));
}

TEST_F(LinkTest, ABareHostOpensAsAWebAddress) {
  link.SetURLString("www.vandor.example");
  QTest::mouseClick(&link, Qt::LeftButton);
  EXPECT_EQ(log, (QStringList{"click", "open http://www.vandor.example"}));
}

TEST_F(LinkTest, OnlyALeftPressAndReleaseOnTheLabelIsAClick) {
  link.SetURLString("https://www.vandor.example/");
  QTest::mouseClick(&link, Qt::RightButton);
  QTest::mousePress(&link, Qt::LeftButton);
  QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(250, 8));
  QTest::mouseRelease(&link, Qt::LeftButton);
  EXPECT_TRUE(log.isEmpty());
}

}  // namespace
