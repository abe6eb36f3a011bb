#include "platform/registry/HiveFile.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>

#include "platform/registry/HiveRegistry.h"
#include "tests/support/TempDir.h"

using namespace platform;

namespace {

class HiveFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<HiveRegistry> Open() {
    return std::make_unique<HiveRegistry>(std::make_unique<HiveFile>(
        path, [this](const std::string& message) { reports.push_back(message); }));
  }
  static void SetDword(RegistryStore& store, std::string_view key, std::string_view name,
                       uint32_t value) {
    RegHandle handle = 0;
    ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS, handle), ERROR_SUCCESS);
    const uint8_t data[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    ASSERT_EQ(store.SetValue(handle, name, REG_DWORD, data, 4), ERROR_SUCCESS);
    ASSERT_EQ(store.CloseKey(handle), ERROR_SUCCESS);
  }
  static bool HasValue(RegistryStore& store, std::string_view key, std::string_view name) {
    RegHandle handle = 0;
    if (store.OpenKey(HKEY_CURRENT_USER, key, KEY_READ, handle) != ERROR_SUCCESS) return false;
    const bool found = store.QueryValue(handle, name, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    store.CloseKey(handle);
    return found;
  }
  std::vector<std::string> BrokenCopies() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path() / "lettrance")) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("registry.reg.broken-", 0) == 0) names.push_back(entry.path().string());
    }
    return names;
  }

  TempDir dir;
  std::string path = dir.File("lettrance/registry.reg");
  std::vector<std::string> reports;
};

TEST_F(HiveFileTest, CreatesFolderAndFileOnFirstWriteOnly) {
  const mode_t oldUmask = umask(077);
  auto store = Open();
  EXPECT_FALSE(HasValue(*store, "Software", "x"));
  EXPECT_FALSE(std::filesystem::exists(path));
  SetDword(*store, "Software\\Vandor", "x", 10);
  EXPECT_EQ(TempDir::Read(path),
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Vandor]\n\"x\"=dword:0000000a\n");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // as the umask leaves it
  umask(oldUmask);
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path() / "lettrance"),
                          std::filesystem::directory_iterator()),
            2);  // the data file and its lock file
  EXPECT_TRUE(reports.empty());
}

TEST_F(HiveFileTest, TwoWritersOnOneFileKeepEachOthersValues) {
  auto first = Open();
  auto second = Open();
  for (uint32_t i = 0; i < 20; ++i) {
    SetDword(*first, "Shared", "first" + std::to_string(i), i);
    SetDword(*second, "Shared", "second" + std::to_string(i), i);
  }
  auto third = Open();
  for (uint32_t i = 0; i < 20; ++i) {
    EXPECT_TRUE(HasValue(*third, "shared", "FIRST" + std::to_string(i)));
    EXPECT_TRUE(HasValue(*third, "shared", "second" + std::to_string(i)));
  }
  // A value set by one is seen by the other's next open.
  EXPECT_TRUE(HasValue(*first, "Shared", "second19"));
}

TEST_F(HiveFileTest, ConcurrentProcessesLoseNoValue) {
  constexpr int kProcesses = 4;
  constexpr int kValues = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      HiveRegistry store(std::make_unique<HiveFile>(path, [](const std::string&) {}));
      for (int i = 0; i < kValues; ++i) {
        RegHandle key = 0;
        if (store.CreateKey(HKEY_CURRENT_USER, "Race", KEY_ALL_ACCESS, key) != ERROR_SUCCESS) {
          _exit(1);
        }
        const std::string name = "p" + std::to_string(p) + "v" + std::to_string(i);
        const uint8_t data[4] = {static_cast<uint8_t>(i), 0, 0, 0};
        if (store.SetValue(key, name, REG_DWORD, data, 4) != ERROR_SUCCESS ||
            store.CloseKey(key) != ERROR_SUCCESS) {
          _exit(2);
        }
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto store = Open();
  int found = 0;
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kValues; ++i) {
      found += HasValue(*store, "Race", "p" + std::to_string(p) + "v" + std::to_string(i));
    }
  }
  EXPECT_EQ(found, kProcesses * kValues);
}

TEST_F(HiveFileTest, ReadOnlyFileGrantsReadAccessOnly) {
  SetDword(*Open(), "Key", "v", 1);
  const std::string before = TempDir::Read(path);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  auto store = Open();
  RegHandle key = 0;
  EXPECT_EQ(store->OpenKey(HKEY_CURRENT_USER, "Key", KEY_ALL_ACCESS, key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(store->OpenKey(HKEY_CURRENT_USER, "Key", KEY_READ | KEY_WRITE, key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(store->CreateKey(HKEY_CURRENT_USER, "Other", KEY_ALL_ACCESS, key), ERROR_ACCESS_DENIED);
  ASSERT_EQ(store->OpenKey(HKEY_CURRENT_USER, "Key", KEY_READ, key), ERROR_SUCCESS);
  EXPECT_EQ(store->QueryValue(key, "v", nullptr, nullptr, nullptr), ERROR_SUCCESS);
  store->CloseKey(key);
  EXPECT_EQ(TempDir::Read(path), before);
}

TEST_F(HiveFileTest, BrokenFileIsReportedKeptAsideAndNeverOverwritten) {
  std::filesystem::create_directories(dir.Path() / "lettrance");
  const std::string broken =
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Keep]\n"
      "\"good\"=dword:00000007\n\"cut\"=\"no end\n";
  TempDir::Write(path, broken);

  auto store = Open();
  EXPECT_TRUE(HasValue(*store, "Keep", "good"));
  EXPECT_TRUE(HasValue(*store, "Keep", "good"));  // reported once, not per read
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(path + ":5:"), std::string::npos) << reports[0];
  EXPECT_EQ(TempDir::Read(path), broken);  // reading alone changes nothing

  SetDword(*store, "Keep", "new", 1);
  const auto copies = BrokenCopies();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(TempDir::Read(copies[0]), broken);
  auto reread = Open();
  EXPECT_TRUE(HasValue(*reread, "Keep", "good"));  // what could be read is kept
  EXPECT_TRUE(HasValue(*reread, "Keep", "new"));
}

TEST_F(HiveFileTest, TruncatedFileKeepsWhatCameBeforeTheCut) {
  std::filesystem::create_directories(dir.Path() / "lettrance");
  TempDir::Write(path,
                 "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\T]\n"
                 "\"a\"=dword:00000001\n\"c\"=dword:xyz\n\"b\"=hex:01,0");
  auto store = Open();
  EXPECT_TRUE(HasValue(*store, "T", "a"));
  EXPECT_FALSE(HasValue(*store, "T", "b"));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(":5: value \"c\": malformed dword (and 1 more problem);"),
            std::string::npos)
      << reports[0];
}

TEST_F(HiveFileTest, UnreadableFileIsLeftUntouched) {
  std::filesystem::create_directories(path);  // a folder where the file should be
  auto store = Open();
  RegHandle key = 0;
  EXPECT_EQ(store->CreateKey(HKEY_CURRENT_USER, "K", KEY_ALL_ACCESS, key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

}  // namespace
