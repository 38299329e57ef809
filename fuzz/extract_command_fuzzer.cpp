// The whole extraction command on a source file made of the input: the first byte chooses
// the source's kind, the rest is the file. Besides not crashing, the command must agree
// with itself and with the single-pass source the command line uses: the same count for
// every group, 0 and no output past the last group, and each written icon file the same
// bytes as the single-pass source writes for that group.
#include <array>
#include <filesystem>

#include "engine/extract_command.h"
#include "engine/icon_file.h"
#include "engine/icon_source.h"
#include "fuzz/fuzz_support.h"

namespace nobrelt {
namespace {

constexpr std::array<const char*, 4> kSourceNames = {"source.dll", "source.exe", "source.icl", "source.ico"};

std::string Scratch(const std::string& name) {
    std::string path = fuzz::ScratchDir() / name;
    std::filesystem::remove(path);
    return path;
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// The command's output for one group next to what the single-pass source writes for it.
void RequireSameOutput(const std::string& viaCommand, const std::optional<IconSource>& opened, std::int32_t group) {
    const std::string viaSource = Scratch("source-pass.ico");
    if (opened) {
        if (auto set = opened->LoadGroup(static_cast<std::size_t>(group))) WriteIconFile(*set, viaSource);
    }
    fuzz::Require(Exists(viaCommand) == Exists(viaSource), "the command writes a group when the source loads it");
    if (Exists(viaCommand))
        fuzz::Require(test::ReadBytes(viaCommand) == test::ReadBytes(viaSource),
                      "the command writes the same bytes as the single-pass source");
}

}  // namespace
}  // namespace nobrelt

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nobrelt;
    if (size == 0) return 0;
    const std::string source = fuzz::ScratchDir() / kSourceNames[data[0] % kSourceNames.size()];
    auto file = fuzz::InputBytes(data + 1, size - 1);
    test::WriteBytes(source, test::Bytes(file.begin(), file.end()));

    // The command alone, as the window drives it.
    const std::string first = Scratch("first.ico");
    const std::int32_t count = ExtractIconGroup(source, kModeSaveToFile, first, std::nullopt);
    const std::string last = Scratch("last.ico");
    const std::string beyond = Scratch("beyond.ico");
    const std::string bitmap = Scratch("first.bmp");
    if (count > 0) {
        fuzz::Require(ExtractIconGroup(source, kModeSaveToFile, last, count) == count, "the last group gives the count");
        fuzz::Require(ExtractIconGroup(source, kModeSaveToFile, beyond, count + 1) == 0, "a group past the last gives 0");
        fuzz::Require(!Exists(beyond), "a group past the last writes nothing");
        fuzz::Require(ExtractIconGroup(source, kModeSaveToFile, bitmap, count) == count, "a bitmap output keeps the count");
        fuzz::Require(ExtractIconGroup(source, kModeCopyToClipboard, std::nullopt, 1) == count,
                      "the clipboard keeps the count");
        fuzz::Require(ExtractIconGroup(source, -1, bitmap, 0) == count, "mode -1 and group 0 keep the count");
    } else {
        fuzz::Require(!Exists(first), "a source without groups writes nothing");
    }

    // The single-pass source the command line uses must see the same groups.
    auto opened = IconSource::Open(source).ToOptional();
    const bool iconFile = SourceKindOf(source) == SourceKind::IconFile;
    // An icon file counts as one group even when it cannot be read.
    fuzz::Require(count == (iconFile ? 1 : opened ? static_cast<std::int32_t>(opened->groupCount()) : 0),
                  "the command counts what the single-pass source counts");
    if (count == 0) return 0;
    RequireSameOutput(first, opened, 1);
    RequireSameOutput(last, opened, count);
    return 0;
}
