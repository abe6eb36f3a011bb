// lettrance-render: its command line and what it writes.
#include <QFontDatabase>
#include <QImage>
#include <filesystem>
#include <sstream>

#include "tools/render/RenderOptions.h"
#include "tools/render/Renderer.h"
#include "settings/GlobalsUnit.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TempDir.h"

namespace {

std::string ErrorOf(const std::vector<std::string>& args) {
  return ParseRenderOptions(args).Error;
}

TEST(RenderOptionsTest, DefaultsAndValues) {
  const ParsedOptions none = ParseRenderOptions({});
  EXPECT_EQ(none.Error, "");
  EXPECT_EQ(none.Options.Width, 1280);
  EXPECT_EQ(none.Options.Height, 720);
  EXPECT_FALSE(none.Options.UseSettings);

  const ParsedOptions all = ParseRenderOptions({"--size",      "640X360",
                                                "--frames=12", "--every",
                                                "3",           "--effect",
                                                "wave",        "--effect",
                                                "Near & Far",  "--effect",
                                                "19",          "--text",
                                                "one",         "--text=two",
                                                "--font",      "DejaVu Serif",
                                                "--font-size", "90",
                                                "--speed",     "4",
                                                "--seed",      "18446744073709551615",
                                                "--out",       "x/y",
                                                "--settings",  "--desktop",
                                                "d.png"});
  ASSERT_EQ(all.Error, "");
  const RenderOptions& o = all.Options;
  EXPECT_EQ(o.Width, 640);
  EXPECT_EQ(o.Height, 360);
  EXPECT_EQ(o.Frames, 12);
  EXPECT_EQ(o.Every, 3);
  EXPECT_EQ(o.Effects, (std::vector<int32_t>{1, 12, 19}));
  EXPECT_EQ(o.Texts, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(o.Font, "DejaVu Serif");
  EXPECT_EQ(o.FontSize, 90);
  EXPECT_EQ(o.Speed, 4);
  EXPECT_EQ(o.Seed, 18446744073709551615u);
  EXPECT_EQ(o.OutDir, "x/y");
  EXPECT_EQ(o.Desktop, "d.png");
  EXPECT_TRUE(o.UseSettings);
}

TEST(RenderOptionsTest, EffectNames) {
  EXPECT_EQ(EffectFromName("Near && Far"), 12);
  EXPECT_EQ(EffectFromName("UPSIDE DOWN"), 14);
  EXPECT_EQ(EffectFromName("0"), 0);
  EXPECT_EQ(EffectFromName("20"), std::nullopt);
  EXPECT_EQ(EffectFromName("-1"), std::nullopt);
  EXPECT_EQ(EffectFromName("Wobble"), std::nullopt);
}

TEST(RenderOptionsTest, BadCommandLinesAreExplained) {
  EXPECT_EQ(ErrorOf({"--colour"}), "unknown option '--colour' (see --help)");
  EXPECT_EQ(ErrorOf({"frames"}), "unknown option 'frames' (see --help)");
  EXPECT_EQ(ErrorOf({"--frames"}), "--frames expects a value");
  EXPECT_EQ(ErrorOf({"--frames", "0"}),
            "--frames expects a whole number from 1 to 1000000 (got '0')");
  EXPECT_EQ(ErrorOf({"--speed", "fast"}),
            "--speed expects a whole number from 1 to 20 (got 'fast')");
  EXPECT_EQ(ErrorOf({"--font-size", "12pt"}),
            "--font-size expects a whole number from 8 to 200 (got '12pt')");
  for (const char* size : {"640", "640x", "x480", "8x480", "640x9000", "640x480x2", " 640x480"}) {
    EXPECT_NE(ErrorOf({"--size", size}).find("--size expects WIDTHxHEIGHT"), std::string::npos)
        << size;
  }
  EXPECT_NE(ErrorOf({"--effect", "Wobble"}).find("--effect expects an effect name"),
            std::string::npos);
  EXPECT_EQ(ErrorOf({"--seed", "-1"}),
            "--seed expects a whole number from 0 to 18446744073709551615 (got '-1')");
  EXPECT_EQ(ErrorOf({"--settings=yes"}), "--settings takes no value");
  EXPECT_EQ(ErrorOf({"--font="}), "--font expects a font face name");
  EXPECT_NE(ErrorOf({"--sheet", "s.png", "--frames", "5"}).find("cannot be combined"),
            std::string::npos);
  EXPECT_NE(ErrorOf({"--sheet", "s.png", "--effect", "Wave"}).find("cannot be combined"),
            std::string::npos);
}

TEST(RenderOptionsTest, HelpNamesEveryOptionAndExitCode) {
  const std::string help = RenderHelpText();
  for (const char* word :
       {"--size", "--frames", "--every", "--effect", "--text", "--font ", "--font-size", "--speed",
        "--desktop", "--seed", "--out", "--sheet", "--settings", "--help", "Exit codes", "  3  "}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
  std::ostringstream out, errors;
  EXPECT_EQ(RenderMain({"--help"}, out, errors), kExitOk);
  EXPECT_EQ(out.str(), help);
  EXPECT_EQ(RenderMain({"--bogus"}, out, errors), kExitUsage);
  EXPECT_EQ(errors.str(), "lettrance-render: unknown option '--bogus' (see --help)\n");
}

class RendererRunTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& args) {
    std::ostringstream out;
    errors.str("");
    return RenderMain(args, out, errors);
  }
  TempDir dir;
  std::ostringstream errors;
};

TEST_F(RendererRunTest, WritesEveryKthFrameAtTheRequestedSize) {
  const std::string out = dir.File("frames");
  ASSERT_EQ(Run({"--size", "64x48", "--frames", "5", "--every", "2", "--out", out, "--seed", "3",
                 "--text", "Hi"}),
            kExitOk)
      << errors.str();
  EXPECT_TRUE(std::filesystem::exists(out + "/frame-00002.png"));
  EXPECT_TRUE(std::filesystem::exists(out + "/frame-00004.png"));
  EXPECT_FALSE(std::filesystem::exists(out + "/frame-00001.png"));
  EXPECT_FALSE(std::filesystem::exists(out + "/frame-00005.png"));
  EXPECT_EQ(QImage(QString::fromStdString(out + "/frame-00004.png")).size(), QSize(64, 48));
}

TEST_F(RendererRunTest, TheSameLinesGiveTheSamePicturesWhereverTheyComeFrom) {
  TempDir::Write(dir.File("lines"), "Hi\nyou\n");
  const std::vector<std::string> common = {"--size",  "96x64", "--frames", "240",
                                           "--every", "40",    "--seed",   "5"};
  const std::vector<std::vector<std::string>> sources = {
      {"--text", "Hi", "--text", "you"},
      {"--text-file", dir.File("lines")},
      {"--text-program", "printf 'Hi\\r\\nyou'"},
  };
  std::vector<std::vector<QImage>> runs;
  for (size_t k = 0; k < sources.size(); ++k) {
    std::vector<std::string> args = common;
    args.insert(args.end(), sources[k].begin(), sources[k].end());
    args.insert(args.end(), {"--out", dir.File("run" + std::to_string(k))});
    ASSERT_EQ(Run(args), kExitOk) << errors.str();
    runs.emplace_back();
    for (int frame = 40; frame <= 240; frame += 40) {
      runs.back().emplace_back(QString::fromStdString(
          dir.File("run" + std::to_string(k)) +
          QString("/frame-%1.png").arg(frame, 5, 10, QChar('0')).toStdString()));
    }
  }
  EXPECT_TRUE(runs[0] == runs[1]);
  EXPECT_TRUE(runs[0] == runs[2]);
  // Several passes, so the second line shows up too: the frames differ.
  EXPECT_FALSE(runs[0].front() == runs[0].back());
}

TEST_F(RendererRunTest, DrawsTheLineOverTheDesktopPicture) {
  QImage desktop(32, 24, QImage::Format_RGB32);
  desktop.fill(qRgb(0, 0, 255));
  const std::string picture = dir.File("desktop.png");
  ASSERT_TRUE(desktop.save(QString::fromStdString(picture)));
  ASSERT_EQ(Run({"--size", "64x48", "--frames", "1", "--out", dir.File("d"), "--desktop", picture}),
            kExitOk)
      << errors.str();
  const QImage frame(QString::fromStdString(dir.File("d/frame-00001.png")));
  EXPECT_EQ(frame.pixel(0, 0), qRgb(0, 0, 255));  // scaled to cover the frame
  EXPECT_EQ(frame.pixel(63, 47), qRgb(0, 0, 255));
}

TEST_F(RendererRunTest, UnreadablePicturesAndUnwritablePlacesFail) {
  EXPECT_EQ(Run({"--size", "64x48", "--frames", "1", "--desktop", dir.File("missing.png")}),
            kExitBadInput);
  EXPECT_NE(errors.str().find("cannot read the picture"), std::string::npos);

  TempDir::Write(dir.File("not-a-folder"), "x");
  EXPECT_EQ(Run({"--size", "64x48", "--frames", "1", "--out", dir.File("not-a-folder/sub")}),
            kExitBadOutput);
  EXPECT_NE(errors.str().find("cannot make the folder"), std::string::npos);
  EXPECT_EQ(Run({"--size", "64x48", "--sheet", dir.File("not-a-folder/sheet.png")}),
            kExitBadOutput);
  EXPECT_NE(errors.str().find("cannot write"), std::string::npos);
}

TEST_F(RendererRunTest, AMissingFontIsNamedWithTheFaceUsedInstead) {
  const std::vector<std::string> args = {"--size", "64x48", "--frames",
                                         "1",      "--out", dir.File("f")};
  auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), args.begin(), args.end());
    return more;
  };
  ASSERT_EQ(Run(with({"--font", "No Such Face"})), kExitOk);
  const std::string prefix =
      "lettrance-render: the font 'No Such Face' is not installed; drawing with '";
  ASSERT_EQ(errors.str().rfind(prefix, 0), 0u) << errors.str();
  const std::string used =
      errors.str().substr(prefix.size(), errors.str().find("' instead") - prefix.size());
  EXPECT_TRUE(QFontDatabase::families().contains(QString::fromStdString(used))) << used;
  for (const char* installed : {"DejaVu Sans", "dejavu sans", "Default"}) {
    ASSERT_EQ(Run(with({"--font", installed})), kExitOk);
    EXPECT_EQ(errors.str(), "") << installed;
  }
}

TEST_F(RendererRunTest, TheSheetHoldsTwentyLabelledFrames) {
  const std::string sheet = dir.File("sheet.png");
  ASSERT_EQ(Run({"--size", "160x120", "--font-size", "20", "--seed", "1", "--sheet", sheet}),
            kExitOk)
      << errors.str();
  // Five columns of 40 + 8 and four rows of 30 + 22 + 8, plus the margin.
  EXPECT_EQ(QImage(QString::fromStdString(sheet)).size(), QSize(8 + 5 * 48, 8 + 4 * 60));
}

}  // namespace
