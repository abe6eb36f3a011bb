#include "platform/wayland/GrimSnapshot.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QColor>

#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;

// A stand-in for grim: a shell script that records its arguments and does
// what `body` says.
std::string FakeGrim(const TempDir& dir, const std::string& body) {
  const std::string path = dir.File("grim");
  TempDir::Write(path, "#!/bin/sh\necho \"$@\" > '" + dir.File("arguments") + "'\n" + body + "\n");
  chmod(path.c_str(), 0755);
  return path;
}

// Two pixels, red then blue, as grim -t ppm writes them.
const char* const kRedBluePpm = "printf 'P6\\n2 1\\n255\\n\\377\\000\\000\\000\\000\\377'";

TEST(GrimSnapshotTest, PictureOfTheNamedOutput) {
  TempDir dir;
  const std::string grim = FakeGrim(dir, kRedBluePpm);
  const platform::TGrimPicture taken = platform::TakeGrimPicture(
      QString::fromStdString(grim), "HEADLESS-2", QRect(640, 0, 640, 480), QSize(2, 1), 5s);
  EXPECT_EQ(taken.Problem, "");
  ASSERT_EQ(taken.Picture.size(), QSize(2, 1));
  EXPECT_EQ(taken.Picture.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(taken.Picture.pixel(1, 0), qRgb(0, 0, 255));
  EXPECT_EQ(TempDir::Read(dir.File("arguments")), "-t ppm -o HEADLESS-2 -\n");
}

TEST(GrimSnapshotTest, StretchedToTheTarget) {
  TempDir dir;
  const std::string grim = FakeGrim(dir, kRedBluePpm);
  const platform::TGrimPicture taken = platform::TakeGrimPicture(
      QString::fromStdString(grim), "HEADLESS-1", QRect(0, 0, 640, 480), QSize(40, 10), 5s);
  ASSERT_EQ(taken.Picture.size(), QSize(40, 10));
  // The outer columns are the two pixels' own colours.
  EXPECT_EQ(taken.Picture.pixel(0, 5), qRgb(255, 0, 0));
  EXPECT_EQ(taken.Picture.pixel(39, 5), qRgb(0, 0, 255));
}

TEST(GrimSnapshotTest, UnnamedOutputIsTakenByItsLayoutRectangle) {
  TempDir dir;
  const std::string grim = FakeGrim(dir, kRedBluePpm);
  platform::TakeGrimPicture(QString::fromStdString(grim), "", QRect(640, 0, 800, 600), QSize(2, 1),
                            5s);
  EXPECT_EQ(TempDir::Read(dir.File("arguments")), "-t ppm -g 640,0 800x600 -\n");
}

TEST(GrimSnapshotTest, FailuresGiveBlackAndSayWhy) {
  struct Case {
    std::string body;     // the fake grim's script; "" for no program at all
    std::string because;  // part of the problem reported
  };
  const Case cases[] = {
      {"", "is not installed"},
      {"echo 'compositor doesn'\\''t support wlr-screencopy-unstable-v1' >&2; exit 1",
       "failed: compositor doesn't support wlr-screencopy-unstable-v1"},
      {"exit 3", "failed (the compositor"},
      {"kill -KILL $$", "failed"},
      {"echo 'not a picture'", "no picture that could be read"},
      {"exec sleep 30", "took longer than 300 ms"},
  };
  QImage black(8, 6, QImage::Format_RGB32);
  black.fill(Qt::black);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    TempDir dir;
    const std::string grim = c.body.empty() ? dir.File("no-grim-here") : FakeGrim(dir, c.body);
    const platform::TGrimPicture taken = platform::TakeGrimPicture(
        QString::fromStdString(grim), "HEADLESS-1", QRect(0, 0, 640, 480), QSize(8, 6), 300ms);
    EXPECT_EQ(taken.Picture, black);
    EXPECT_NE(taken.Problem.find(c.because), std::string::npos) << taken.Problem;
  }
}

}  // namespace
