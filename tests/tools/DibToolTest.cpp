// dibtool as a user runs it: each command, its output and exit codes.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "dib/XDIBUnit.h"

namespace {

struct ToolRun {
  int code;
  QString out, err;
};

ToolRun Dibtool(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(LETTRANCE_DIBTOOL), arguments);
  EXPECT_TRUE(process.waitForFinished(30000));
  return ToolRun{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
             QString::fromUtf8(process.readAllStandardError())};
}

QByteArray Read(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

TEST(DibToolTest, MakeInfoCopyAndText) {
  QTemporaryDir folder;
  const QString made = folder.filePath("made.bmp");
  ASSERT_EQ(Dibtool({"make", "33", "17", "4", made}).code, 0);
  const ToolRun info = Dibtool({"info", made});
  EXPECT_EQ(info.code, 0);
  EXPECT_EQ(info.out, "width 33\nheight 17\nbits 4\ncompression none\ncolours 16\n");
  const QString copied = folder.filePath("copied.bmp");
  ASSERT_EQ(Dibtool({"copy", made, copied}).code, 0);
  EXPECT_EQ(Read(copied), Read(made));
  EXPECT_EQ(Read(made).size(), 14 + 40 + 16 * 4 + 20 * 17);  // rows of 17 bytes padded to 20

  const QString text = folder.filePath("text.bmp");
  ASSERT_EQ(Dibtool({"text", text, "Lettrance"}).code, 0);
  TDIB dib;
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  dib.LoadFile(file);
  EXPECT_EQ(dib.ImageWidth(), 231);
  EXPECT_EQ(dib.ImageHeight(), 39);
  EXPECT_EQ(dib.BitsPerPixel(), 24);
  const QImage pixels = dib.ToImage();
  int lit = 0;
  for (int y = 0; y < 39; ++y) {
    for (int x = 0; x < 231; ++x) lit += (pixels.pixel(x, y) & 0xFFFFFF) != 0;
  }
  EXPECT_GT(lit, 300);
}

TEST(DibToolTest, BadFilesGiveTheErrorAndExitCodeOne) {
  QTemporaryDir folder;
  const QString bad = folder.filePath("bad.bmp");
  {
    QFile file(bad);
    file.open(QIODevice::WriteOnly);
    file.write("BM this is no bitmap");
  }
  const ToolRun info = Dibtool({"info", bad});
  EXPECT_EQ(info.code, 1);
  EXPECT_EQ(info.err, "dibtool: DIB is invalid\n");
  EXPECT_EQ(Dibtool({"copy", folder.filePath("missing.bmp"), folder.filePath("out.bmp")}).code, 1);
  EXPECT_EQ(Dibtool({"make", "4", "4", "2", folder.filePath("two.bmp")}).err,
            "dibtool: Bitcount in invalid (2)\n");
  EXPECT_EQ(Dibtool({"frobnicate"}).code, 2);
  EXPECT_EQ(Dibtool({}).code, 2);
}

}  // namespace
