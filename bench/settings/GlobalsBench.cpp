// Loading and saving the settings record against a hive file that also holds
// a thousand unrelated keys, as a well-used user registry would.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/registry/HiveFile.h"
#include "platform/registry/HiveRegistry.h"
#include "platform/registry/UserRegistry.h"
#include "settings/GlobalsUnit.h"

namespace {

struct BusyHive {
  BusyHive() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lettrance-bench-XXXXXX").string();
    folder = mkdtemp(pattern.data());
    {
      platform::HiveRegistry writer(std::make_unique<platform::HiveFile>(Path()));
      for (int i = 0; i < 1000; ++i) {
        platform::RegHandle key = 0;
        writer.CreateKey(platform::HKEY_CURRENT_USER,
                         "Software\\Other" + std::to_string(i % 37) + "\\Key" + std::to_string(i),
                         platform::KEY_ALL_ACCESS, key);
        const std::string text = "value of key " + std::to_string(i);
        writer.SetValue(key, "Data", platform::REG_SZ,
                        reinterpret_cast<const uint8_t*>(text.c_str()),
                        static_cast<uint32_t>(text.size() + 1));
        writer.CloseKey(key);
      }
    }
    registry =
        std::make_unique<platform::HiveRegistry>(std::make_unique<platform::HiveFile>(Path()));
    platform::SetUserRegistry(registry.get());
    StoredVersion = "";
    TGlobals g;
    LoadGlobals(g);  // writes the record once
  }
  ~BusyHive() {
    platform::SetUserRegistry(nullptr);
    registry.reset();
    std::filesystem::remove_all(folder);
  }
  std::string Path() const { return (folder / "registry.reg").string(); }

  std::filesystem::path folder;
  std::unique_ptr<platform::HiveRegistry> registry;
};

void BM_LoadGlobals(benchmark::State& state) {
  BusyHive hive;
  TGlobals g;
  for (auto _ : state) {
    // A fresh store per load, as a new process would have: the file is read.
    platform::HiveRegistry fresh(std::make_unique<platform::HiveFile>(hive.Path()));
    platform::SetUserRegistry(&fresh);
    LoadGlobals(g);
    benchmark::DoNotOptimize(g);
  }
  platform::SetUserRegistry(nullptr);
}
BENCHMARK(BM_LoadGlobals)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_SaveGlobals(benchmark::State& state) {
  BusyHive hive;
  TGlobals g = DefaultGlobals();
  g.FontName = "Impact";
  for (auto _ : state) {
    g.FontSize = 60 + static_cast<int32_t>(state.iterations() % 100);
    SaveGlobals(g);
  }
}
BENCHMARK(BM_SaveGlobals)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

BENCHMARK_MAIN();
