#include "tools/render/Renderer.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "engine/AnimationUnit.h"
#include "engine/QtSurface.h"
#include "host/TextFeeds.h"
#include "platform/RandomNumbers.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"

namespace {

constexpr char kProgram[] = "lettrance-render: ";

std::vector<std::string> InstalledFonts() {
  std::vector<std::string> fonts{"Default"};
  for (const QString& family : QFontDatabase::families()) fonts.push_back(family.toStdString());
  return fonts;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t k = 0; k < lines.size(); ++k) text += (k == 0 ? "" : "\r") + lines[k];
  return text;
}

int32_t EffectBits(const std::vector<int32_t>& effects) {
  uint32_t bits = 0;
  for (int32_t e : effects) bits |= 1u << e;
  return static_cast<int32_t>(bits);
}

// A face that is not installed is replaced by the font system's choice: say
// which, so that the pictures are not taken for what was asked.
void WarnAboutMissingFace(const std::string& face, std::ostream& errors) {
  if (face == "Default" || ResolveFontName(face, InstalledFonts()) == face) return;
  const QString used = QFontInfo(QFont(QString::fromStdString(face))).family();
  errors << kProgram << "the font '" << face << "' is not installed; drawing with '"
         << used.toStdString() << "' instead\n";
}

// The settings for this run: defaults or the stored settings, then the
// command line on top.
TGlobals PrepareSettings(const RenderOptions& o, std::ostream& errors) {
  SetInstalledFontsProvider(InstalledFonts);
  TGlobals settings;
  if (o.UseSettings) {
    // Read everything, write nothing back.
    LoadGlobals(settings, swNever);
  } else {
    settings = DefaultGlobals();
    settings.FontName = ResolveFontName(settings.FontName, InstalledFonts());
  }
  if (o.Font) settings.FontName = *o.Font;
  if (o.FontSize) settings.FontSize = *o.FontSize;
  if (o.Speed) settings.Speed = *o.Speed;
  if (!o.Texts.empty()) {
    settings.Text = JoinLines(o.Texts);
    settings.TextSource = tsText;
  }
  if (o.TextFile) {
    settings.TextSource = tsFile;
    settings.TextFile = *o.TextFile;
  }
  if (o.TextProgram) {
    settings.TextSource = tsProgram;
    settings.TextProgram = *o.TextProgram;
  }
  if (!o.Effects.empty()) {
    settings.EffectsFlag = true;
    settings.EffectCode = EffectBits(o.Effects);
  }
  settings.DesktopFlag = o.Desktop.has_value();
  WarnAboutMissingFace(settings.FontName, errors);
  return settings;
}

void Seed(const RenderOptions& o) {
  if (o.Seed) {
    platform::SeedRandom(*o.Seed);
  } else {
    platform::Randomize();
  }
}

// The animation on a full-screen surface of the frame size.
std::unique_ptr<TSaverAni> StartAnimation(const RenderOptions& o, const TGlobals& settings,
                                          const Picture* background, FrameTarget* target,
                                          TTextFeed* feed = nullptr) {
  auto state = std::make_unique<TSaverAni>();
  state->Width = o.Width;
  state->Height = o.Height;
  state->Preview = false;
  state->Background = background;
  state->Target = target;
  state->MakeSurface = QtSurfaceFactory();
  state->TextFeed = feed;
  state->Init(settings);
  return state;
}

bool WriteFrames(const RenderOptions& o, const TGlobals& settings, const Picture* background,
                 std::ostream& errors) {
  if (!QDir().mkpath(QString::fromStdString(o.OutDir))) {
    errors << kProgram << "cannot make the folder '" << o.OutDir << "'\n";
    return false;
  }
  const QDir out(QString::fromStdString(o.OutDir));
  ImageSink sink;
  Seed(o);
  // Each text is waited for, the first before the first frame, so that the
  // same lines give the same pictures wherever they come from.
  const std::unique_ptr<TTextFeed> feed = MakeTextFeed(settings, ftWait);
  if (feed) feed->CycleStarted();
  auto state = StartAnimation(o, settings, background, &sink, feed.get());
  for (int32_t frame = 1; frame <= o.Frames; ++frame) {
    state->Step();
    state->Present();
    if (frame % o.Every != 0) continue;
    const QString name = out.filePath(QString("frame-%1.png").arg(frame, 5, 10, QChar('0')));
    if (!sink.Frame().save(name, "PNG")) {
      errors << kProgram << "cannot write '" << name.toStdString() << "'\n";
      return false;
    }
  }
  state->Done();
  return true;
}

// How plainly a frame shows its effect: every letter on screen counts one,
// and up to four more the further the effect has taken it from its place in
// a plain line (moved, scaled or turned by up to a line height or more).
double EffectVisibility(TSaverAni& state, int32_t scrollXBefore) {
  const int32_t h = std::max(state.ToScreen(state.TextHeight), 1);
  double score = 0;
  int64_t nominalX = scrollXBefore;
  for (int32_t i = 1; i <= state.LetterCount; ++i) {
    const int64_t x = state.LetterX[i], y = state.LetterY[i];
    if (x >= 0 && x < state.ScreenWidth && y > -h && y < state.ScreenHeight) {
      int64_t away = std::llabs(x - nominalX) + std::llabs(y - state.LineY);
      if (state.PerLetterSize) away += std::llabs(state.LetterSize[i] - 1024) * h / 1024;
      const int32_t angle = state.PerLetterAngle ? state.LetterAngle[i] : state.TextAngle;
      away += std::min<int64_t>(angle % 3600, 3600 - angle % 3600) * h / 450;
      score += 1 + 4.0 * static_cast<double>(std::min<int64_t>(away, h)) / h;
    }
    nominalX += state.ToScreen(state.Buffer->MeasureText(state.Letter(i)).Width) +
                state.Settings.FontSpacing;
  }
  return score;
}

// The frame of one pass of an effect that shows the effect best: the pass
// is first run without drawing to find that frame, then again, drawn there.
QImage TellingFrame(const RenderOptions& o, TGlobals settings, const Picture* background,
                    int32_t effect, uint64_t seed) {
  settings.EffectsFlag = true;
  settings.EffectCode = EffectBits({effect});
  platform::SeedRandom(seed);
  auto probe = StartAnimation(o, settings, background, nullptr);
  int32_t frames = 0, best = 1;
  double bestScore = -1;
  do {
    const int32_t scrollX = probe->ScrollX;
    probe->Step();
    ++frames;
    const double score = EffectVisibility(*probe, scrollX);
    if (score > bestScore) {
      bestScore = score;
      best = frames;
    }
  } while (!probe->AllGone && frames < 100000);
  probe->Done();

  ImageSink sink;
  platform::SeedRandom(seed);
  auto state = StartAnimation(o, settings, background, &sink);
  for (int32_t frame = 1; frame < best; ++frame) state->Step();
  state->Step();
  state->Present();
  state->Done();
  return sink.Frame();
}

bool WriteSheet(const RenderOptions& o, TGlobals settings, const Picture* background,
                std::ostream& errors) {
  constexpr int kColumns = 5;
  constexpr int kRows = 4;
  constexpr int kMargin = 8;
  constexpr int kLabel = 22;
  const int thumbWidth = std::max(o.Width / 4, 1);
  const int thumbHeight = std::max(o.Height / 4, 1);
  QImage sheet(kMargin + kColumns * (thumbWidth + kMargin),
               kMargin + kRows * (thumbHeight + kLabel + kMargin), QImage::Format_RGB32);
  sheet.fill(QColor(32, 32, 32));

  // One line for the whole sheet: the first line of the text, also of a
  // file's or a program's.
  if (const std::unique_ptr<TTextFeed> feed = MakeTextFeed(settings, ftWait)) {
    feed->CycleStarted();
    if (std::optional<std::string> text = feed->FreshText()) settings.Text = *text;
  }
  settings.Text = settings.Text.substr(0, settings.Text.find_first_of("\r\n"));
  if (settings.Text.empty()) settings.Text = "Lettrance";
  settings.DateTimeMode = 0;
  const uint64_t seed = o.Seed.value_or(1);

  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  QFont labelFont = painter.font();
  labelFont.setPixelSize(14);
  painter.setFont(labelFont);
  for (int32_t effect = 0; effect < kEffectCount; ++effect) {
    const QImage frame =
        TellingFrame(o, settings, background, effect, seed + static_cast<uint64_t>(effect));
    const int left = kMargin + (effect % kColumns) * (thumbWidth + kMargin);
    const int top = kMargin + (effect / kColumns) * (thumbHeight + kLabel + kMargin);
    painter.drawImage(QRect(left, top, thumbWidth, thumbHeight), frame);
    painter.setPen(QColor(220, 220, 220));
    const QString label =
        QString("%1  %2").arg(effect).arg(QString(EffectNames[effect]).replace("&&", "&"));
    painter.drawText(QRect(left, top + thumbHeight, thumbWidth, kLabel), Qt::AlignCenter, label);
  }
  painter.end();

  const QString file = QString::fromStdString(*o.Sheet);
  const QString folder = QFileInfo(file).absolutePath();
  if (!QDir().mkpath(folder) || !sheet.save(file, "PNG")) {
    errors << kProgram << "cannot write '" << *o.Sheet << "'\n";
    return false;
  }
  return true;
}

}  // namespace

int RunRenderer(const RenderOptions& o, std::ostream& errors) {
  std::unique_ptr<Picture> background;
  if (o.Desktop) {
    QImageReader reader(QString::fromStdString(*o.Desktop));
    const QImage picture = reader.read();
    if (picture.isNull()) {
      errors << kProgram << "cannot read the picture '" << *o.Desktop
             << "': " << reader.errorString().toStdString() << "\n";
      return kExitBadInput;
    }
    // The whole desktop scaled to the surface, as a snapshot would be.
    background = std::make_unique<Picture>(
        picture.scaled(o.Width, o.Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }

  const TGlobals settings = PrepareSettings(o, errors);
  platform::SetPrimaryScreenSize(platform::ScreenSize{o.Width, o.Height});
  const bool written = o.Sheet ? WriteSheet(o, settings, background.get(), errors)
                               : WriteFrames(o, settings, background.get(), errors);
  platform::SetPrimaryScreenSize(std::nullopt);
  return written ? kExitOk : kExitBadOutput;
}

int RenderMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors) {
  const ParsedOptions parsed = ParseRenderOptions(args);
  if (!parsed.Error.empty()) {
    errors << kProgram << parsed.Error << "\n";
    return kExitUsage;
  }
  if (parsed.Options.Help) {
    out << RenderHelpText();
    return kExitOk;
  }
  return RunRenderer(parsed.Options, errors);
}
