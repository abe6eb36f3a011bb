#include "platform/registry/RegHive.h"

#include <algorithm>

namespace platform {

std::string FoldRegName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool RegPathLess::operator()(const std::string& a, const std::string& b) const {
  // A separator sorts before every other character, so "a\b" precedes "a b".
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    if (a[i] == '\\') return true;
    if (b[i] == '\\') return false;
    return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
  }
  return a.size() < b.size();
}

bool NormalizeKeyPath(std::string_view path, std::string& normalized) {
  normalized.clear();
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (!part.empty()) {
      for (unsigned char c : part) {
        if (c < 0x20 || c == 0x7F) return false;
      }
      if (!normalized.empty()) normalized += '\\';
      normalized.append(part);
    }
    start = end + 1;
  }
  return true;
}

RegHive::RegHive() {
  FKeys.emplace(std::string(), RegKeyNode{});
}

const RegKeyNode* RegHive::FindKey(std::string_view path) const {
  auto it = FKeys.find(FoldRegName(path));
  return it == FKeys.end() ? nullptr : &it->second;
}

RegKeyNode& RegHive::CreateKey(std::string_view path) {
  RegKeyNode* node = &FKeys.begin()->second;  // the root
  size_t pos = 0;
  while (pos < path.size()) {
    size_t end = path.find('\\', pos);
    if (end == std::string_view::npos) end = path.size();
    std::string_view prefix = path.substr(0, end);
    auto [it, added] = FKeys.try_emplace(FoldRegName(prefix));
    if (added) it->second.path = std::string(prefix);
    node = &it->second;
    pos = end + 1;
  }
  return *node;
}

const RegValue* RegHive::FindValue(std::string_view keyPath, std::string_view name) const {
  const RegKeyNode* key = FindKey(keyPath);
  if (key == nullptr) return nullptr;
  const std::string folded = FoldRegName(name);
  for (const RegValue& value : key->values) {
    if (FoldRegName(value.name) == folded) return &value;
  }
  return nullptr;
}

void RegHive::SetValue(std::string_view keyPath, std::string_view name, uint32_t type,
                       std::vector<uint8_t> data) {
  RegKeyNode& key = CreateKey(keyPath);
  const std::string folded = FoldRegName(name);
  for (RegValue& value : key.values) {
    if (FoldRegName(value.name) == folded) {
      value.type = type;
      value.data = std::move(data);
      return;
    }
  }
  key.values.push_back(RegValue{std::string(name), type, std::move(data)});
}

bool RegHive::operator==(const RegHive& other) const {
  if (FKeys.size() != other.FKeys.size()) return false;
  auto b = other.FKeys.begin();
  for (auto a = FKeys.begin(); a != FKeys.end(); ++a, ++b) {
    if (a->first != b->first || a->second.path != b->second.path) return false;
    const auto& va = a->second.values;
    const auto& vb = b->second.values;
    if (va.size() != vb.size()) return false;
    for (size_t i = 0; i < va.size(); ++i) {
      if (va[i].name != vb[i].name || va[i].type != vb[i].type || va[i].data != vb[i].data) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace platform
