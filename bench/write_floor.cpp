// The physical floor of an extraction: writes given output files again with nothing but
// open, write and close. The files are read into memory first; only the writing is timed.
//   write_floor REFERENCE_DIR OUTPUT_DIR [REPETITIONS]
// prints "median_seconds S files N bytes B".
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/timing.h"
#include "tests/engine/test_support.h"

namespace {

struct OutputFile {
    std::string name;
    nobrelt::test::Bytes bytes;
};

void WriteAll(const std::filesystem::path& directory, const std::vector<OutputFile>& files) {
    for (const OutputFile& file : files) {
        int fd = ::open((directory / file.name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, file.bytes.data(), file.bytes.size()) != static_cast<ssize_t>(file.bytes.size())) {
            std::perror(file.name.c_str());
            std::exit(1);
        }
        ::close(fd);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: write_floor REFERENCE_DIR OUTPUT_DIR [REPETITIONS]\n");
        return 2;
    }
    const std::filesystem::path reference = argv[1];
    const std::filesystem::path output = argv[2];
    const int repetitions = argc > 3 ? std::atoi(argv[3]) : 10;

    std::vector<OutputFile> files;
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(reference)) {
        if (!entry.is_regular_file()) continue;
        files.push_back({entry.path().filename().string(), nobrelt::test::ReadBytes(entry.path().string())});
        bytes += files.back().bytes.size();
    }
    double median = nobrelt::bench::MedianSeconds(
        repetitions, [&] { nobrelt::bench::EmptyDirectory(output); }, [&] { WriteAll(output, files); });
    std::printf("median_seconds %.6f files %zu bytes %ju\n", median, files.size(), bytes);
    return 0;
}
