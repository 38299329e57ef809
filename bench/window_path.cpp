// Extracting every group of a module the way the window's Extract drives the engine: one
// ExtractIconGroup call for the count (it writes group 1), then one call per group, each
// opening the module again. Next to it, the single pass of the command line: open the
// source once, load each group and write it. Both are timed in this process.
//   window_path MODULE OUTPUT_DIR [REPETITIONS]
// prints "window_seconds W single_pass_seconds S groups N".
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/timing.h"
#include "engine/extract_command.h"
#include "engine/icon_file.h"
#include "engine/icon_source.h"

namespace {

std::string OutputName(const std::filesystem::path& directory, std::size_t group) {
    return (directory / (std::to_string(group) + ".ico")).string();
}

std::int32_t WindowPath(const std::string& module, const std::filesystem::path& directory) {
    const std::int32_t count = nobrelt::ExtractIconGroup(module, nobrelt::kModeSaveToFile, OutputName(directory, 1), 1);
    for (std::int32_t group = 1; group <= count; ++group)
        nobrelt::ExtractIconGroup(module, nobrelt::kModeSaveToFile, OutputName(directory, group), group);
    return count;
}

std::size_t SinglePass(const std::string& module, const std::filesystem::path& directory) {
    auto source = nobrelt::IconSource::Open(module);
    if (!source) return 0;
    for (std::size_t group = 1; group <= source->groupCount(); ++group) {
        if (auto set = source->LoadGroup(group)) nobrelt::WriteIconFile(*set, OutputName(directory, group));
    }
    return source->groupCount();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_path MODULE OUTPUT_DIR [REPETITIONS]\n");
        return 2;
    }
    const std::string module = argv[1];
    const std::filesystem::path directory = argv[2];
    const int repetitions = argc > 3 ? std::atoi(argv[3]) : 5;
    auto clear = [&] { nobrelt::bench::EmptyDirectory(directory); };

    std::int32_t windowCount = 0;
    std::size_t singleCount = 0;
    double window = nobrelt::bench::MedianSeconds(repetitions, clear, [&] { windowCount = WindowPath(module, directory); });
    double single = nobrelt::bench::MedianSeconds(repetitions, clear, [&] { singleCount = SinglePass(module, directory); });
    if (static_cast<std::size_t>(windowCount) != singleCount) {
        std::fprintf(stderr, "the window path counted %d groups, the single pass %zu\n", windowCount, singleCount);
        return 1;
    }
    std::printf("window_seconds %.6f single_pass_seconds %.6f groups %zu\n", window, single, singleCount);
    return 0;
}
