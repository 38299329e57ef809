// The engine's hot pieces, each on its own, so that a change can be judged in isolation.
//   engine_benchmarks [benchmark options]
#include <benchmark/benchmark.h>

#include "engine/icon_file.h"
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

}  // namespace
}  // namespace nobrelt

BENCHMARK_MAIN();
