// The engine's hot pieces, each on its own, so that a change can be judged in isolation.
//   engine_benchmarks [benchmark options] [MODULE...]
// Module benchmarks run on the modules named (by default two test fixtures, one PE and
// one NE); the icon file benchmarks on a typical three-image group.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "engine/icon_file.h"
#include "engine/icon_source.h"
#include "engine/module_reader.h"
#include "tests/engine/test_support.h"

namespace nobrelt {
namespace {

// A group as real modules carry it: 16, 32 and 48 pixels at 4, 8 and 32 bits.
test::Bytes TypicalIconFile() {
    return test::MakeIconFile({{test::MakeBitmapImage({.width = 16, .height = 16, .bitCount = 4})},
                               {test::MakeBitmapImage({.width = 32, .height = 32, .bitCount = 8})},
                               {test::MakeBitmapImage({.width = 48, .height = 48, .bitCount = 32})}});
}

const test::TempDir& Scratch() {
    static const test::TempDir dir;
    return dir;
}

void ReadIconSetFromMemory(benchmark::State& state) {
    const test::Bytes file = TypicalIconFile();
    for (auto _ : state) {
        MemorySource source(file);
        benchmark::DoNotOptimize(ReadIconSet(source));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(ReadIconSetFromMemory);

void ReadIconFileFromDisk(benchmark::State& state) {
    const std::string path = Scratch() / "read.ico";
    test::WriteBytes(path, TypicalIconFile());
    for (auto _ : state) benchmark::DoNotOptimize(ReadIconFile(path));
}
BENCHMARK(ReadIconFileFromDisk);

// Replacing one file again and again, as repeated extractions into one directory do.
void WriteIconFileReplacing(benchmark::State& state) {
    const test::Bytes file = TypicalIconFile();
    MemorySource source(file);
    const IconSet set = *ReadIconSet(source);
    const std::string path = Scratch() / "write.ico";
    for (auto _ : state) WriteIconFile(set, path);
}
BENCHMARK(WriteIconFileReplacing);

// Writing new files, as an extraction into an empty directory does.
void WriteIconFileNew(benchmark::State& state) {
    const test::Bytes file = TypicalIconFile();
    MemorySource source(file);
    const IconSet set = *ReadIconSet(source);
    const std::filesystem::path directory = Scratch().path() / "new";
    std::filesystem::create_directories(directory);
    std::size_t n = 0;
    for (auto _ : state) {
        WriteIconFile(set, (directory / (std::to_string(++n) + ".ico")).string());
        if (n % 1000 == 0) {
            state.PauseTiming();
            std::filesystem::remove_all(directory);
            std::filesystem::create_directories(directory);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(WriteIconFileNew);

void OpenModule(benchmark::State& state, const std::string& path) {
    for (auto _ : state) benchmark::DoNotOptimize(ModuleReader::Open(path));
}

void EnumerateGroups(benchmark::State& state, const std::string& path) {
    auto module = ModuleReader::Open(path);
    if (!module) return state.SkipWithError(module.reason().c_str());
    for (auto _ : state) benchmark::DoNotOptimize(module->EnumerateNames(RT_GROUP_ICON));
}

// Opening a source and counting its groups: what every call of the window path repeats.
void OpenAndCount(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        auto source = IconSource::Open(path);
        benchmark::DoNotOptimize(source ? source->groupCount() : 0);
    }
}

void LoadGroup(benchmark::State& state, const std::string& path) {
    auto source = IconSource::Open(path);
    if (!source) return state.SkipWithError(source.reason().c_str());
    std::size_t n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(source->LoadGroup(n++ % source->groupCount() + 1));
}

void LoadAndWriteGroup(benchmark::State& state, const std::string& path) {
    auto source = IconSource::Open(path);
    if (!source) return state.SkipWithError(source.reason().c_str());
    const std::string output = Scratch() / "group.ico";
    std::size_t n = 0;
    for (auto _ : state) {
        if (auto set = source->LoadGroup(n++ % source->groupCount() + 1)) WriteIconFile(*set, output);
    }
}

void RegisterModuleBenchmarks(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    benchmark::RegisterBenchmark(("OpenModule/" + name).c_str(), OpenModule, path);
    benchmark::RegisterBenchmark(("EnumerateGroups/" + name).c_str(), EnumerateGroups, path);
    benchmark::RegisterBenchmark(("OpenAndCount/" + name).c_str(), OpenAndCount, path);
    benchmark::RegisterBenchmark(("LoadGroup/" + name).c_str(), LoadGroup, path);
    benchmark::RegisterBenchmark(("LoadAndWriteGroup/" + name).c_str(), LoadAndWriteGroup, path);
}

}  // namespace
}  // namespace nobrelt

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) nobrelt::RegisterModuleBenchmarks(argv[i]);
    } else {
        nobrelt::RegisterModuleBenchmarks(NOBRELT_FIXTURES_DIR "/five.dll");
        nobrelt::RegisterModuleBenchmarks(NOBRELT_FIXTURES_DIR "/icons.icl");
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
