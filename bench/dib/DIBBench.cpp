// The off-screen bitmap's speed where users wait on it: loading a full-HD
// 24-bit file (from a file on disk and from memory) and the setup preview's
// smooth text, which is redrawn on every keystroke.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "dib/XDIBUnit.h"
#include "dib/XTextUnit.h"

namespace {

TDIB FullHd() {
  TDIB dib;
  dib.SetDimensions(1920, 1080, 24);
  for (int y = 0; y < 1080; ++y) {
    uint8_t* row = dib.RowAddress(y);
    for (int x = 0; x < 1920 * 3; ++x) row[x] = static_cast<uint8_t>(x ^ y);
  }
  return dib;
}

void BM_LoadFile_1920x1080x24_Disk(benchmark::State& state) {
  QTemporaryDir folder;
  const QString path = folder.filePath("full-hd.bmp");
  {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    FullHd().SaveFile(file);
  }
  for (auto _ : state) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    TDIB dib;
    dib.LoadFile(file);
    benchmark::DoNotOptimize(dib.RowAddress(0));
  }
}
BENCHMARK(BM_LoadFile_1920x1080x24_Disk)->Unit(benchmark::kMillisecond);

void BM_LoadFile_1920x1080x24_Memory(benchmark::State& state) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    FullHd().SaveFile(buffer);
  }
  for (auto _ : state) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TDIB dib;
    dib.LoadFile(buffer);
    benchmark::DoNotOptimize(dib.RowAddress(0));
  }
}
BENCHMARK(BM_LoadFile_1920x1080x24_Memory)->Unit(benchmark::kMillisecond);

// As the setup preview paints: a new 231 x 39 bitmap, black, text at level 2.
void BM_DrawSmoothText_Preview(benchmark::State& state) {
  for (auto _ : state) {
    TDIB dib = SmoothTextPreview(QSize(231, 39), QStringLiteral("DejaVu Sans"),
                                 MakeColor(255, 255, 0), QStringLiteral("Lettrance"), 2);
    benchmark::DoNotOptimize(dib.RowAddress(20));
  }
}
BENCHMARK(BM_DrawSmoothText_Preview)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);  // fonts need it
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
