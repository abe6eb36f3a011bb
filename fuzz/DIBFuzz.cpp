// Feeds arbitrary bytes to the bitmap reader, as a file when they start with
// "BM" and as a bare body otherwise. Besides crashes, sanitizer reports and
// large allocations it checks that whatever was read, once its pixels are
// expanded, writes a file that reads back to the very same bytes.
#include <QBuffer>
#include <cstdint>
#include <cstdlib>
#include <exception>

#include "dib/XDIBUnit.h"

namespace {

QByteArray Saved(const TDIB& dib) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  dib.SaveFile(buffer);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&input);
  buffer.open(QIODevice::ReadOnly);
  TDIB dib;
  try {
    input.startsWith("BM") ? dib.LoadFile(buffer) : dib.ReadBody(buffer);
  } catch (const std::exception&) {
    return 0;  // refused with its error: fine
  }
  const QByteArray encoded = Saved(dib);
  if (!dib.IsEmpty()) {
    dib.MakePrivate();  // expands run-length data
    if (dib.ToImage().isNull()) std::abort();
  }
  QByteArray first = Saved(dib);
  QBuffer again(&first);
  again.open(QIODevice::ReadOnly);
  TDIB reread;
  reread.LoadFile(again);
  if (Saved(reread) != first) std::abort();
  if (encoded.isEmpty() != first.isEmpty()) std::abort();
  return 0;
}
