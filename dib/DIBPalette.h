#pragma once
// The program's palette manager: bitmaps of 8 bits per pixel or fewer get
// their palette here, and identical colour tables share one palette handle.
// The handle stands for the colour table the toolkit draws with; 0 is none.

#include <QList>
#include <QRgb>
#include <cstdint>
#include <vector>

#include "dib/DIBTypes.h"

using TPaletteHandle = uint32_t;

class TPaletteManager {
 public:
  // The one manager of the program, made on first use.
  static TPaletteManager& Instance();

  // A handle for these colours: an existing one (with one more reference)
  // when an item holds the same count of byte-identical entries, else a new
  // one. A count of 0 or less gives no handle.
  TPaletteHandle AcquirePalette(const TColorEntry* entries, int count);
  // Drops one reference of the handle and clears the variable; the palette
  // goes when its last reference does. No handle: nothing happens.
  void ReleasePalette(TPaletteHandle& handle);

  // The colours of a live handle, as the toolkit's colour table (empty for
  // none); how many palettes exist and how often one is referenced.
  QList<QRgb> Colors(TPaletteHandle handle) const;
  int PaletteCount() const { return static_cast<int>(FItems.size()); }
  int References(TPaletteHandle handle) const;

 private:
  struct TPaletteItem {
    TPaletteHandle Handle = 0;
    int References = 0;
    uint32_t Checksum = 0;
    std::vector<TColorEntry> Colors;
  };
  const TPaletteItem* Find(TPaletteHandle handle) const;

  std::vector<TPaletteItem> FItems;
  TPaletteHandle FNext = 1;
};
