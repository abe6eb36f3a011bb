#include "dib/DIBPalette.h"

#include <algorithm>

namespace {

// Cheap to compare first: the count plus every red, green and blue byte.
uint32_t Checksum(const TColorEntry* entries, int count) {
  uint32_t sum = static_cast<uint32_t>(count);
  for (int i = 0; i < count; ++i) sum += entries[i].Red + entries[i].Green + entries[i].Blue;
  return sum;
}

}  // namespace

TPaletteManager& TPaletteManager::Instance() {
  static TPaletteManager manager;
  return manager;
}

TPaletteHandle TPaletteManager::AcquirePalette(const TColorEntry* entries, int count) {
  if (count <= 0 || entries == nullptr) return 0;
  const uint32_t checksum = Checksum(entries, count);
  for (TPaletteItem& item : FItems) {
    if (item.Checksum == checksum && static_cast<int>(item.Colors.size()) == count &&
        std::equal(item.Colors.begin(), item.Colors.end(), entries)) {
      ++item.References;
      return item.Handle;
    }
  }
  FItems.push_back(TPaletteItem{FNext++, 1, checksum, {entries, entries + count}});
  return FItems.back().Handle;
}

void TPaletteManager::ReleasePalette(TPaletteHandle& handle) {
  if (handle == 0) return;
  const auto found = std::find_if(FItems.begin(), FItems.end(),
                                  [&](const TPaletteItem& item) { return item.Handle == handle; });
  handle = 0;
  if (found == FItems.end()) return;
  if (--found->References <= 0) FItems.erase(found);
}

const TPaletteManager::TPaletteItem* TPaletteManager::Find(TPaletteHandle handle) const {
  for (const TPaletteItem& item : FItems) {
    if (item.Handle == handle) return &item;
  }
  return nullptr;
}

QList<QRgb> TPaletteManager::Colors(TPaletteHandle handle) const {
  QList<QRgb> colors;
  if (const TPaletteItem* item = Find(handle)) {
    for (const TColorEntry& entry : item->Colors)
      colors.append(qRgb(entry.Red, entry.Green, entry.Blue));
  }
  return colors;
}

int TPaletteManager::References(TPaletteHandle handle) const {
  const TPaletteItem* item = Find(handle);
  return item ? item->References : 0;
}
