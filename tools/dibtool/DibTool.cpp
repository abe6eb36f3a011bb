// dibtool: tries bitmap files with TDIB by hand.
//   dibtool info FILE            width, height, bits, compression, colours
//   dibtool copy IN OUT          read a file and write it again
//   dibtool make W H BITS OUT    a test pattern written through row addresses
//   dibtool text OUT "text"      smooth text into a 231 x 39 24-bit image
// Exit codes: 0 done, 1 a file could not be read or written (the error on
// stderr), 2 a bad command line.
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "dib/XDIBUnit.h"
#include "dib/XTextUnit.h"

namespace {

constexpr int kBadFile = 1;
constexpr int kBadCommandLine = 2;

struct BadFile {
  std::string message;
};

void Open(QFile& file, QIODevice::OpenMode mode) {
  if (!file.open(mode))
    throw BadFile{file.fileName().toStdString() + ": " + file.errorString().toStdString()};
}

TDIB Load(const char* path) {
  QFile file(QString::fromLocal8Bit(path));
  Open(file, QIODevice::ReadOnly);
  TDIB dib;
  dib.LoadFile(file);
  return dib;
}

void Save(const TDIB& dib, const char* path) {
  QFile file(QString::fromLocal8Bit(path));
  Open(file, QIODevice::WriteOnly | QIODevice::Truncate);
  dib.SaveFile(file);
  if (!file.flush()) throw BadFile{std::string(path) + ": " + file.errorString().toStdString()};
}

const char* CompressionName(const TDIB& dib) {
  if (dib.IsRunLengthEncoded()) return dib.BitsPerPixel() == 8 ? "RLE8" : "RLE4";
  if (dib.BitsPerPixel() == 16 || dib.BitsPerPixel() == 32) return "bit fields";
  return "none";
}

int Info(const char* path) {
  const TDIB dib = Load(path);
  std::printf("width %d\nheight %d\nbits %d\ncompression %s\ncolours %d\n", dib.ImageWidth(),
              dib.ImageHeight(), dib.BitsPerPixel(), CompressionName(dib), dib.ColorCount());
  if (dib.BitsPerPixel() == 16 || dib.BitsPerPixel() == 32) {
    const TPixelLayout& layout = dib.CurrentLayout();
    std::printf("masks %X %X %X\n", layout.RedMask, layout.GreenMask, layout.BlueMask);
  }
  return 0;
}

// Red grows to the right, green downwards, blue is half; images with a colour
// table get a ramp of colours and diagonal bands of them.
void DrawPattern(TDIB& dib) {
  const int width = dib.ImageWidth();
  const int height = dib.ImageHeight();
  const int bits = dib.BitsPerPixel();
  if (bits <= 8) {
    const int colors = 1 << bits;
    for (int i = 0; i < colors; ++i) {
      const int level = colors > 1 ? i * 255 / (colors - 1) : 0;
      dib.ColorTable[i] =
          TColorEntry{static_cast<uint8_t>(255 - level), 128, static_cast<uint8_t>(level), 0};
    }
    dib.ApplyColors();
  }
  const TPixelLayout& layout = dib.CurrentLayout();
  for (int y = 0; y < height; ++y) {
    uint8_t* row = dib.RowAddress(y);
    for (int x = 0; x < width; ++x) {
      const uint32_t red = width > 1 ? x * 255u / (width - 1) : 0;
      const uint32_t green = height > 1 ? y * 255u / (height - 1) : 0;
      const uint32_t blue = 128;
      if (bits <= 8) {
        const uint32_t index = ((x + y) / 4) % (1u << bits);
        const int shift = 8 - bits - (x * bits) % 8;
        row[x * bits / 8] = static_cast<uint8_t>(row[x * bits / 8] | index << shift);
      } else if (bits == 24) {
        row[3 * x] = static_cast<uint8_t>(blue);
        row[3 * x + 1] = static_cast<uint8_t>(green);
        row[3 * x + 2] = static_cast<uint8_t>(red);
      } else {
        // Each channel cut to its bit count, red on top, blue lowest.
        const uint32_t pixel = (red >> layout.RedLoss) << (layout.GreenBits + layout.BlueBits) |
                               (green >> layout.GreenLoss) << layout.BlueBits |
                               blue >> layout.BlueLoss;
        std::memcpy(row + x * bits / 8, &pixel, static_cast<size_t>(bits / 8));
      }
    }
  }
}

int Make(const char* width, const char* height, const char* bits, const char* path) {
  TDIB dib;
  const int bitCount = std::atoi(bits);
  if (bitCount == 16) dib.RequestedLayout = kLayout565;
  dib.SetDimensions(std::atoi(width), std::atoi(height), bitCount);
  if (dib.IsEmpty()) throw BadFile{"the size must be at least 1 x 1"};
  DrawPattern(dib);
  Save(dib, path);
  return 0;
}

int Text(const char* path, const char* text) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "dibtool";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  const TDIB dib = SmoothTextPreview(QSize(231, 39), QStringLiteral("DejaVu Sans"),
                                     MakeColor(255, 255, 0), QString::fromLocal8Bit(text), 2);
  Save(dib, path);
  return 0;
}

int Usage() {
  std::fputs(
      "usage: dibtool info FILE\n"
      "       dibtool copy IN OUT\n"
      "       dibtool make WIDTH HEIGHT BITS OUT   (BITS 1, 4, 8, 16, 24 or 32)\n"
      "       dibtool text OUT TEXT\n",
      stderr);
  return kBadCommandLine;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  try {
    if (command == "info" && argc == 3) return Info(argv[2]);
    if (command == "copy" && argc == 4) {
      Save(Load(argv[2]), argv[3]);
      return 0;
    }
    if (command == "make" && argc == 6) return Make(argv[2], argv[3], argv[4], argv[5]);
    if (command == "text" && argc == 4) return Text(argv[2], argv[3]);
  } catch (const BadFile& error) {
    std::fprintf(stderr, "dibtool: %s\n", error.message.c_str());
    return kBadFile;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dibtool: %s\n", error.what());
    return kBadFile;
  }
  return Usage();
}
