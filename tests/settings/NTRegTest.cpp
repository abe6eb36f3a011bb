#include <gtest/gtest.h>

#include "settings/XRegistryUnit.h"
#include "tests/settings/RegistryTestStore.h"

using namespace platform;

namespace {

class RegistryClassesTest : public ::testing::Test {
 protected:
  RegistryTestStore store;
};

TEST_F(RegistryClassesTest, AbsoluteAndRelativePaths) {
  TNewRegistry registry;
  ASSERT_TRUE(registry.OpenPath("\\Software\\Vandor", true));
  EXPECT_EQ(registry.CurrentPath(), "Software\\Vandor");
  ASSERT_TRUE(registry.OpenPath("ScreenSaver\\Lettrance", true));
  EXPECT_EQ(registry.CurrentPath(), "Software\\Vandor\\ScreenSaver\\Lettrance");
  registry.PutInteger("Where", 1);

  // A failed open keeps the previous key.
  EXPECT_FALSE(registry.OpenPath("Missing", false));
  EXPECT_EQ(registry.CurrentPath(), "Software\\Vandor\\ScreenSaver\\Lettrance");
  EXPECT_EQ(registry.GetInteger("Where"), 1);

  registry.ClosePath();
  EXPECT_EQ(registry.CurrentKey(), 0u);
  EXPECT_EQ(registry.CurrentPath(), "");
  EXPECT_EQ(store.Dword("software\\vandor\\screensaver\\lettrance", "Where"), 1);
  // Without an open key a relative path counts from the root.
  ASSERT_TRUE(registry.OpenPath("Software", false));
  EXPECT_EQ(registry.CurrentPath(), "\\Software");
}

TEST_F(RegistryClassesTest, FallingAccessRights) {
  store.SetDword("ReadWrite", "v", 1);
  store.SetDword("ReadOnly", "v", 2);
  store.Storage().SetGrant("ReadWrite", KEY_READ | KEY_WRITE);
  store.Storage().SetGrant("ReadOnly", KEY_READ);

  TNewRegistry registry;
  ASSERT_TRUE(registry.OpenPath("\\ReadWrite", true));  // full access refused, read+write granted
  registry.PutInteger("w", 3);
  EXPECT_TRUE(registry.OpenPath("\\ReadOnly", false));  // falls to read access
  EXPECT_EQ(registry.GetInteger("v"), 2);
  EXPECT_THROW(registry.PutInteger("w", 4), ERegistryError);
  EXPECT_FALSE(registry.OpenPath("\\ReadOnly", true));  // create never falls to read-only

  store.Storage().SetGrant("ReadOnly", KEY_READ | KEY_WRITE);
  EXPECT_FALSE(registry.OpenPathReadOnly("\\Nothing"));
  ASSERT_TRUE(registry.OpenPathReadOnly("\\ReadOnly"));
  try {
    registry.PutInteger("w", 5);  // read-only even where more is granted
    FAIL();
  } catch (const ERegistryError& error) {
    EXPECT_STREQ(error.what(), "Konnte Daten für 'w' nicht setzen");
  }
}

TEST_F(RegistryClassesTest, TypedReadsAndTheirErrors) {
  store.SetDword("K", "dword", -7);
  store.SetString("K", "text", "hello");
  store.SetString("K", "empty", "");
  store.SetString("K", "short", "abc");
  store.Set("K", "binary8", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8});
  store.Set("K", "expand", REG_EXPAND_SZ, {'a', 'b', 0, 'c', 0});
  store.Set("K", "zerosize", REG_SZ, {});
  store.SetDword("K", "two", 2);

  TNewRegistry registry;
  ASSERT_TRUE(registry.OpenPath("\\K", false));
  EXPECT_EQ(registry.GetInteger("DWORD"), -7);
  EXPECT_EQ(registry.GetString("expand"), "ab");  // cut at the first zero
  EXPECT_EQ(registry.GetString("zerosize"), "");
  EXPECT_EQ(registry.GetString("missing"), "");
  EXPECT_TRUE(registry.HasValue("Text"));
  EXPECT_FALSE(registry.HasValue("missing"));

  const auto message = [&](auto read) -> std::string {
    try {
      read();
    } catch (const ERegistryError& error) {
      return error.what();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { registry.GetInteger("missing"); }),
            "Konnte Daten für 'missing' nicht holen");
  EXPECT_EQ(message([&] { registry.GetInteger("binary8"); }),
            "Konnte Daten für 'binary8' nicht holen");
  // A string of at most four bytes is read, then refused for its type.
  EXPECT_EQ(message([&] { registry.GetInteger("short"); }), "Ungültiger Datentyp für 'short'");
  EXPECT_EQ(message([&] { registry.GetInteger("text"); }), "Konnte Daten für 'text' nicht holen");
  EXPECT_EQ(message([&] { registry.GetString("dword"); }), "Ungültiger Datentyp für 'dword'");

  // The default-reading operations never raise.
  EXPECT_EQ(registry.GetStringDef("dword", "def"), "def");
  EXPECT_EQ(registry.GetStringDef("empty", "def"), "");
  EXPECT_EQ(registry.GetIntegerDef("binary8", 42), 42);
  EXPECT_EQ(registry.GetIntegerDef("missing", 42), 42);
  EXPECT_TRUE(registry.GetBoolDef("two", false));
  EXPECT_FALSE(registry.GetBoolDef("text", false));
}

TEST_F(RegistryClassesTest, WritesUseRegistryTypes) {
  TNewRegistry registry;
  ASSERT_TRUE(registry.OpenPath("\\W", true));
  registry.PutString("s", "ab");
  registry.PutBool("b", true);
  registry.PutInteger("i", -2);
  registry.ClosePath();
  EXPECT_EQ(store.Type("W", "s"), REG_SZ);
  EXPECT_EQ(store.Data("W", "s"), (std::vector<uint8_t>{'a', 'b', 0}));
  EXPECT_EQ(store.Type("W", "b"), REG_DWORD);
  EXPECT_EQ(store.Dword("W", "b"), 1);
  EXPECT_EQ(store.Data("W", "i"), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST_F(RegistryClassesTest, ChangingTheRootClosesTheKey) {
  TNewRegistry registry;
  ASSERT_TRUE(registry.OpenPath("\\K", true));
  registry.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_NE(registry.CurrentKey(), 0u);  // same root: nothing changes
  registry.SetRootKey(0x80000002u);
  EXPECT_EQ(registry.CurrentKey(), 0u);
  EXPECT_FALSE(registry.OpenPath("\\K", false));  // the store knows no other hive
}

}  // namespace
