// Reading and saving a data file, and loading the language file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "base/LanguageFile.h"
#include "model/DataFile.h"
#include "model/ModelCatalogue.h"

using namespace velora;

namespace {

std::string benchFolder() {
    auto dir =
        std::filesystem::temp_directory_path() / ("velora-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

MemoryImage sampleImage() {
    MemoryImage img;
    for (std::size_t i = 0; i < layout::kMainSize; ++i)
        img.main()[i] = static_cast<Byte>(i);
    setIdentification(img, ModelIdentification::defaults());
    return img;
}

void BM_ReadDataFile(benchmark::State& state) {
    const auto dir = benchFolder();
    MemoryImage img = sampleImage();
    writeDataFile(img, dir + "r.dat");
    for (auto _ : state) {
        auto r = readDataFile(img, dir + "r.dat");
        benchmark::DoNotOptimize(r);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReadDataFile)->Unit(benchmark::kMicrosecond);

// Includes the fsync that makes the save durable, so it measures what the user waits for.
void BM_SaveDataFile(benchmark::State& state) {
    const auto dir = benchFolder();
    MemoryImage img = sampleImage();
    for (auto _ : state) {
        auto r = writeDataFile(img, dir + "w.dat");
        benchmark::DoNotOptimize(r);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveDataFile)->Unit(benchmark::kMicrosecond);

void BM_LoadLanguageFile(benchmark::State& state) {
    const std::filesystem::path file = std::filesystem::path(VELORA_SOURCE_DATA) / "velora.lng";
    for (auto _ : state) {
        LanguageFile lf;
        auto s = lf.load(file);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_LoadLanguageFile)->Unit(benchmark::kMicrosecond);

} // namespace
