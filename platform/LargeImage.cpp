#include "platform/LargeImage.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace platform {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

}  // namespace

QImage NewLargeImage(QSize size, QImage::Format format) {
  const int depth = QImage::toPixelFormat(format).bitsPerPixel();
  if (size.isEmpty() || depth <= 0) return QImage(size, format);
  // Rows padded to 32 bits, as QImage keeps them.
  const int64_t rowBytes = (int64_t{size.width()} * depth + 31) / 32 * 4;
  constexpr int64_t kLargest = std::numeric_limits<int>::max();
  // Small images gain nothing; absurd ones are left to QImage to refuse.
  if (rowBytes > kLargest || rowBytes * size.height() > kLargest ||
      rowBytes * size.height() < static_cast<int64_t>(kHugePage)) {
    return QImage(size, format);
  }
  const int64_t bytes = rowBytes * size.height();
  const size_t rounded = (static_cast<size_t>(bytes) + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = std::aligned_alloc(kHugePage, rounded);
  if (memory == nullptr) return QImage();
  // Only advice: where the kernel has no huge pages, the memory is as usual.
  madvise(memory, rounded, MADV_HUGEPAGE);
  return QImage(
      static_cast<uchar*>(memory), size.width(), size.height(), static_cast<qsizetype>(rowBytes),
      format, [](void* pixels) { std::free(pixels); }, memory);
}

}  // namespace platform
