#pragma once
// The content of a registry hive: keys by path, each with its typed values.
// Names compare without regard to ASCII case and keep the case they were
// first given.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct RegValue {
  std::string name;  // empty for the key's default value
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

struct RegKeyNode {
  std::string path;              // as first given; empty for the root
  std::vector<RegValue> values;  // in the order they were first set
};

std::string FoldRegName(std::string_view name);

// Orders key paths component by component, so that a key is followed by its
// sub-keys (tree order), as registry files list them.
struct RegPathLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class RegHive {
 public:
  RegHive();

  const RegKeyNode* FindKey(std::string_view path) const;
  // Creates the key and every missing parent; returns the key.
  RegKeyNode& CreateKey(std::string_view path);

  const RegValue* FindValue(std::string_view keyPath, std::string_view name) const;
  // The key must exist (it is created when it does not).
  void SetValue(std::string_view keyPath, std::string_view name, uint32_t type,
                std::vector<uint8_t> data);

  // Keys in tree order, the root first.
  const std::map<std::string, RegKeyNode, RegPathLess>& Keys() const { return FKeys; }

  bool operator==(const RegHive& other) const;

 private:
  std::map<std::string, RegKeyNode, RegPathLess> FKeys;  // by folded path
};

// Splits a key path at backslashes; empty components (doubled, leading or
// trailing backslashes) are dropped. Returns false for a component with a
// control character, which cannot be stored in a registry file line.
bool NormalizeKeyPath(std::string_view path, std::string& normalized);

}  // namespace platform
