#include <gtest/gtest.h>

#include "settings/GlobalsUnit.h"
#include "settings/XExeCounterUnit.h"
#include "tests/settings/RegistryTestStore.h"

using namespace platform;

namespace {

const char* const kKey = "Software\\Vandor\\ScreenSaver\\Lettrance";
const std::string kVersion = "1.06 - 17 Jan 2001";
const std::string kOldVersion = "1.05 - 3 Mar 2000";

class ExeCounterTest : public ::testing::Test {
 protected:
  ~ExeCounterTest() override { StoredVersion.clear(); }
  static int32_t Count() { return CheckExeCounter(std::string("\\") + kKey, kVersion); }
  static void Load() {
    SetInstalledFontsProvider([] { return std::vector<std::string>{"Default", "Arial"}; });
    TGlobals g;
    LoadGlobals(g);
    SetInstalledFontsProvider(nullptr);
  }
  std::string Version() {
    const RegValue* value = store.Find(kKey, "ExeVersion");
    if (value == nullptr || value->type != REG_SZ) return "<no string>";
    return std::string(value->data.begin(), value->data.end() - 1);  // less the zero
  }
  void Stored(int32_t counter, const std::string& version) {
    store.SetDword(kKey, "ExeCounter", counter);
    store.SetString(kKey, "ExeVersion", version);
  }
  RegistryTestStore store;
};

TEST_F(ExeCounterTest, FirstAndSecondStart) {
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 1);
  EXPECT_EQ(StoredVersion, "");  // the settings load then sees a first start
  EXPECT_EQ(Version(), "<no string>");  // recorded by that load, with the migration
  Load();
  EXPECT_EQ(Version(), kVersion);
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 2);
  EXPECT_EQ(StoredVersion, kVersion);
}

TEST_F(ExeCounterTest, OtherVersionCountsOnButIsAFirstStart) {
  Stored(7, kOldVersion);
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 8);  // never reset
  EXPECT_EQ(StoredVersion, kOldVersion);

  Stored(3, "1.06 - 17 JAN 2001");  // exact comparison, case included
  EXPECT_EQ(Count(), 0);
  store.SetDword(kKey, "ExeVersion", 106);  // an integer reads as no version
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(StoredVersion, "");
  Load();
  EXPECT_EQ(Version(), kVersion);  // the migration overwrites it with the string
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 5);  // 3, then two counted starts
}

TEST_F(ExeCounterTest, AFirstStartEndedBeforeTheMigrationIsAFirstStartAgain) {
  Stored(3, kOldVersion);
  store.SetDword(kKey, "EffectCode", 1);  // the older version's value, to be replaced
  EXPECT_EQ(Count(), 0);
  // Ended here, say while the about box was open: nothing but the count stored.
  EXPECT_EQ(Version(), kOldVersion);
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(StoredVersion, kOldVersion);
  const int commits = store.Storage().CommitCount();
  Load();
  EXPECT_EQ(store.Storage().CommitCount(), commits + 1);  // record and version together
  EXPECT_EQ(store.Dword(kKey, "EffectCode"), -2);
  EXPECT_EQ(Version(), kVersion);
  EXPECT_EQ(Count(), 5);
}

TEST_F(ExeCounterTest, CounterEdgeValues) {
  Stored(-3, kVersion);  // four more first starts, then counting resumes
  for (int32_t expected : {-3, -2, -1, 0, 1}) EXPECT_EQ(Count(), expected);

  Stored(INT32_MAX, kVersion);  // stays there: a wrap would make every start a first
  EXPECT_EQ(Count(), INT32_MAX);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), INT32_MAX);
}

// The test hive, refusing writes of ExeCounter.
class CounterWriteRefused : public HiveRegistry {
 public:
  using HiveRegistry::HiveRegistry;
  RegStatus SetValue(RegHandle key, std::string_view name, uint32_t type, const uint8_t* data,
                     uint32_t size) override {
    if (name == "ExeCounter") return ERROR_ACCESS_DENIED;
    return HiveRegistry::SetValue(key, name, type, data, size);
  }
};

TEST_F(ExeCounterTest, RegistryFailuresAreSwallowed) {
  Stored(4, kOldVersion);
  store.Storage().SetGrant(kKey, KEY_READ);  // cannot be opened for writing
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(StoredVersion, kVersion);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 4);

  store.Storage().SetGrant(kKey, KEY_ALL_ACCESS);
  Stored(4, kVersion);
  store.Storage().SetCommitStatus(ERROR_WRITE_FAULT);  // the count cannot be stored
  EXPECT_EQ(Count(), 4);
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 4);
  store.Storage().SetCommitStatus(ERROR_SUCCESS);

  auto storage = std::make_unique<MemoryHiveStorage>();
  MemoryHiveStorage& memory = *storage;
  CounterWriteRefused refusing(std::move(storage));
  SetUserRegistry(&refusing);
  memory.Edit([](RegHive& hive) {
    hive.SetValue(kKey, "ExeCounter", REG_DWORD, {7, 0, 0, 0});
    hive.SetValue(kKey, "ExeVersion", REG_SZ, {'1', 0});
  });
  EXPECT_EQ(Count(), 7);  // the error came before the version was read
  EXPECT_EQ(StoredVersion, kVersion);
  ASSERT_NE(memory.Current().FindValue(kKey, "ExeCounter"), nullptr);
  EXPECT_EQ(memory.Current().FindValue(kKey, "ExeCounter")->data,
            (std::vector<uint8_t>{7, 0, 0, 0}));
}

}  // namespace
