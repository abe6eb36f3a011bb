#include "platform/registry/HiveRegistry.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class HiveRegistryTest : public ::testing::Test {
 protected:
  HiveRegistryTest() {
    auto owned = std::make_unique<MemoryHiveStorage>();
    storage = owned.get();
    registry = std::make_unique<HiveRegistry>(std::move(owned));
  }
  RegHandle Create(std::string_view path, RegAccess access = KEY_ALL_ACCESS) {
    RegHandle key = 0;
    EXPECT_EQ(registry->CreateKey(HKEY_CURRENT_USER, path, access, key), ERROR_SUCCESS);
    return key;
  }
  MemoryHiveStorage* storage;
  std::unique_ptr<HiveRegistry> registry;
};

TEST_F(HiveRegistryTest, QueriesReportTypeSizeAndShortBuffers) {
  RegHandle key = Create("A\\B");
  const uint8_t data[6] = {'h', 'e', 'l', 'l', 'o', 0};
  ASSERT_EQ(registry->SetValue(key, "Greeting", REG_SZ, data, 6), ERROR_SUCCESS);

  uint32_t type = 0, size = 0;
  EXPECT_EQ(registry->QueryValue(key, "GREETING", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 6u);

  uint8_t small[4];
  size = sizeof small;
  EXPECT_EQ(registry->QueryValue(key, "greeting", &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);

  uint8_t big[16] = {};
  size = sizeof big;
  EXPECT_EQ(registry->QueryValue(key, "greeting", &type, big, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  EXPECT_STREQ(reinterpret_cast<char*>(big), "hello");

  EXPECT_EQ(registry->QueryValue(key, "missing", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(registry->QueryValue(12345, "greeting", nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(registry->CloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry->CloseKey(key), ERROR_INVALID_HANDLE);
}

TEST_F(HiveRegistryTest, OpenFindsOnlyExistingKeysAndRelativePaths) {
  RegHandle missing = 0;
  EXPECT_EQ(registry->OpenKey(HKEY_CURRENT_USER, "A", KEY_READ, missing), ERROR_FILE_NOT_FOUND);
  RegHandle a = Create("A\\B\\C");
  registry->CloseKey(a);

  RegHandle parent = 0, child = 0;
  ASSERT_EQ(registry->OpenKey(HKEY_CURRENT_USER, "a", KEY_READ, parent), ERROR_SUCCESS);
  ASSERT_EQ(registry->OpenKey(parent, "b\\c", KEY_ALL_ACCESS, child), ERROR_SUCCESS);
  const uint8_t one[4] = {1, 0, 0, 0};
  ASSERT_EQ(registry->SetValue(child, "x", REG_DWORD, one, 4), ERROR_SUCCESS);
  registry->CloseKey(child);
  EXPECT_NE(storage->Current().FindValue("A\\B\\C", "x"), nullptr);
  EXPECT_EQ(registry->SetValue(parent, "y", REG_DWORD, one, 4), ERROR_ACCESS_DENIED);
}

TEST_F(HiveRegistryTest, ChangesAreStoredTogetherWhenTheKeyCloses) {
  RegHandle key = Create("Settings");
  const uint8_t v[4] = {5, 0, 0, 0};
  for (const char* name : {"a", "b", "c"}) registry->SetValue(key, name, REG_DWORD, v, 4);
  EXPECT_EQ(storage->CommitCount(), 0);
  // The writer sees its own changes before they are stored.
  EXPECT_EQ(registry->QueryValue(key, "b", nullptr, nullptr, nullptr), ERROR_SUCCESS);
  registry->CloseKey(key);
  EXPECT_EQ(storage->CommitCount(), 1);
  EXPECT_NE(storage->Current().FindValue("Settings", "c"), nullptr);
}

TEST_F(HiveRegistryTest, PendingChangesSurviveAnotherWritersChange) {
  RegHandle key = Create("Shared");
  const uint8_t mine[4] = {1, 0, 0, 0};
  registry->SetValue(key, "mine", REG_DWORD, mine, 4);
  storage->Edit([](RegHive& hive) { hive.SetValue("Shared", "theirs", REG_DWORD, {2, 0, 0, 0}); });
  // Both are visible, and both are kept when this writer stores its change.
  EXPECT_EQ(registry->QueryValue(key, "theirs", nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(registry->QueryValue(key, "mine", nullptr, nullptr, nullptr), ERROR_SUCCESS);
  registry->CloseKey(key);
  EXPECT_NE(storage->Current().FindValue("Shared", "theirs"), nullptr);
  EXPECT_NE(storage->Current().FindValue("Shared", "mine"), nullptr);
}

TEST_F(HiveRegistryTest, GrantsLimitTheAccessThatOpensMayAsk) {
  Create("ReadOnly\\Inner");
  Create("ReadWrite");
  storage->SetGrant("ReadOnly", KEY_READ);
  storage->SetGrant("ReadWrite", KEY_READ | KEY_WRITE);

  RegHandle key = 0;
  EXPECT_EQ(registry->OpenKey(HKEY_CURRENT_USER, "ReadOnly\\Inner", KEY_ALL_ACCESS, key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry->OpenKey(HKEY_CURRENT_USER, "ReadOnly\\Inner", KEY_WRITE, key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry->OpenKey(HKEY_CURRENT_USER, "ReadOnly\\Inner", KEY_READ, key), ERROR_SUCCESS);
  EXPECT_EQ(registry->CreateKey(HKEY_CURRENT_USER, "ReadOnly\\New", KEY_READ, key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry->OpenKey(HKEY_CURRENT_USER, "ReadWrite", KEY_ALL_ACCESS, key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry->OpenKey(HKEY_CURRENT_USER, "ReadWrite", KEY_READ | KEY_WRITE, key),
            ERROR_SUCCESS);
}

TEST_F(HiveRegistryTest, KeyNamesWithControlCharactersAreRefused) {
  RegHandle key = 0;
  EXPECT_EQ(registry->CreateKey(HKEY_CURRENT_USER, "bad\nname", KEY_ALL_ACCESS, key),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(storage->Current().Keys().size(), 1u);  // only the root
}

}  // namespace
