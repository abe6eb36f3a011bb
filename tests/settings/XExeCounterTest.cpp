#include <gtest/gtest.h>

#include <set>

#include "settings/GlobalsUnit.h"
#include "settings/XExeCounterUnit.h"
#include "tests/settings/RegistryTestStore.h"

using namespace platform;

namespace {

const char* const kKey = "Software\\Vandor\\ScreenSaver\\Lettrance";
const std::string kThisVersion = "1.06 - 17 Jan 2001";

// Passes everything to the test hive but refuses writes of the named values.
class RefusingStore : public RegistryStore {
 public:
  RefusingStore(RegistryStore& inner, std::set<std::string> refused)
      : inner_(inner), refused_(std::move(refused)) {}
  RegStatus OpenKey(RegHandle parent, std::string_view subKey, RegAccess access,
                    RegHandle& result) override {
    return inner_.OpenKey(parent, subKey, access, result);
  }
  RegStatus CreateKey(RegHandle parent, std::string_view subKey, RegAccess access,
                      RegHandle& result) override {
    return inner_.CreateKey(parent, subKey, access, result);
  }
  RegStatus QueryValue(RegHandle key, std::string_view name, uint32_t* type, uint8_t* data,
                       uint32_t* size) override {
    return inner_.QueryValue(key, name, type, data, size);
  }
  RegStatus SetValue(RegHandle key, std::string_view name, uint32_t type, const uint8_t* data,
                     uint32_t size) override {
    if (refused_.count(std::string(name)) != 0) return ERROR_ACCESS_DENIED;
    return inner_.SetValue(key, name, type, data, size);
  }
  RegStatus CloseKey(RegHandle key) override { return inner_.CloseKey(key); }

 private:
  RegistryStore& inner_;
  std::set<std::string> refused_;
};

class ExeCounterTest : public ::testing::Test {
 protected:
  ~ExeCounterTest() override { StoredVersion.clear(); }
  int32_t Count() { return CheckExeCounter(std::string("\\") + kKey, kThisVersion); }
  std::string StoredString(const char* name) {
    const RegValue* value = store.Find(kKey, name);
    if (value == nullptr) return "<missing>";
    if (value->type != REG_SZ) return "<type " + std::to_string(value->type) + ">";
    return std::string(value->data.begin(), value->data.end());
  }
  RegistryTestStore store;
};

TEST_F(ExeCounterTest, FirstAndSecondStartOnAnEmptyRegistry) {
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 1);
  EXPECT_EQ(StoredString("ExeVersion"), kThisVersion + '\0');
  EXPECT_EQ(StoredVersion, "");  // the settings load sees a first start

  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 2);
  EXPECT_EQ(StoredVersion, kThisVersion);
}

TEST_F(ExeCounterTest, AnotherVersionCountsOnButReportsAFirstStart) {
  store.SetDword(kKey, "ExeCounter", 7);
  store.SetString(kKey, "ExeVersion", "1.05 - 3 Mar 2000");
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 8);  // never reset
  EXPECT_EQ(StoredString("ExeVersion"), kThisVersion + '\0');
  EXPECT_EQ(StoredVersion, "1.05 - 3 Mar 2000");

  // The comparison is exact, letter case included.
  store.SetString(kKey, "ExeVersion", "1.06 - 17 JAN 2001");
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 9);
}

TEST_F(ExeCounterTest, NegativeCounterGivesFirstStartsUntilItPassesZero) {
  store.SetDword(kKey, "ExeCounter", -3);
  store.SetString(kKey, "ExeVersion", kThisVersion);
  EXPECT_EQ(Count(), -3);
  EXPECT_EQ(Count(), -2);
  EXPECT_EQ(Count(), -1);
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 2);
}

TEST_F(ExeCounterTest, BadlyTypedValuesReadAsMissing) {
  store.SetString(kKey, "ExeCounter", "12");
  store.SetDword(kKey, "ExeVersion", 106);
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 1);
  EXPECT_EQ(StoredString("ExeVersion"), kThisVersion + '\0');  // now a string
  EXPECT_EQ(StoredVersion, "");
}

TEST_F(ExeCounterTest, CounterStopsAtTheLargestInteger) {
  store.SetDword(kKey, "ExeCounter", INT32_MAX);
  store.SetString(kKey, "ExeVersion", kThisVersion);
  EXPECT_EQ(Count(), INT32_MAX);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), INT32_MAX);  // not wrapped to a negative count
  EXPECT_EQ(Count(), INT32_MAX);
}

TEST_F(ExeCounterTest, KeyThatCannotBeOpenedCountsEveryStartAsFirst) {
  store.Storage().SetGrant(kKey, KEY_READ);
  store.SetDword(kKey, "ExeCounter", 4);
  store.SetString(kKey, "ExeVersion", "1.05 - 3 Mar 2000");
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(StoredVersion, kThisVersion);  // the version passed in
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 4);
}

TEST_F(ExeCounterTest, RefusedWritesAreSwallowedWithTheResultAsItStood) {
  store.SetDword(kKey, "ExeCounter", 7);
  store.SetString(kKey, "ExeVersion", "1.05 - 3 Mar 2000");
  {
    RefusingStore refusing(store.Registry(), {"ExeCounter"});
    SetUserRegistry(&refusing);
    EXPECT_EQ(Count(), 7);                   // read before the refused write
    EXPECT_EQ(StoredVersion, kThisVersion);  // not read yet when the error came
  }
  {
    RefusingStore refusing(store.Registry(), {"ExeVersion"});
    SetUserRegistry(&refusing);
    EXPECT_EQ(Count(), 7);  // the error came before the result became 0
    EXPECT_EQ(StoredVersion, "1.05 - 3 Mar 2000");
  }
  SetUserRegistry(&store.Registry());
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 8);
}

}  // namespace
