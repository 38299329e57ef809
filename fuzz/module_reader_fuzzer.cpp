// The module reader on arbitrary bytes: opens them as a module, enumerates the icon group and
// icon names and looks up every name it reported. Built twice, as the PE and the NE target:
// each stamps its own signature where the DOS header points, so that mutations spend their
// time inside that format's resource parser rather than at the signature check.
#include <cstring>
#include <vector>

#include "engine/module_reader.h"
#include "fuzz/fuzz_support.h"

#ifndef NOBRELT_FUZZ_SIGNATURE
#error "define NOBRELT_FUZZ_SIGNATURE as the module signature, \"PE\\0\\0\" or \"NE\""
#endif

namespace nobrelt {
namespace {

constexpr std::size_t kNewHeaderPointer = 0x3C;

void StampSignature(std::vector<std::byte>& bytes) {
    static constexpr char kSignature[] = NOBRELT_FUZZ_SIGNATURE;
    constexpr std::size_t kSignatureLength = sizeof(kSignature) - 1;
    ByteReader reader(bytes);
    auto newHeader = reader.U32(kNewHeaderPointer);
    if (!newHeader || !reader.Contains(*newHeader, kSignatureLength)) return;
    std::memcpy(bytes.data(), "MZ", 2);
    std::memcpy(bytes.data() + *newHeader, kSignature, kSignatureLength);
}

// Reads the first and last byte, so that the sanitizer sees a span that leaves the input.
void Touch(std::span<const std::byte> bytes) {
    if (bytes.empty()) return;
    volatile std::byte edges[2] = {bytes.front(), bytes.back()};
    (void)edges;
}

}  // namespace
}  // namespace nobrelt

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nobrelt;
    // A copy of exactly the input's length, so that any read past it is caught.
    auto input = fuzz::InputBytes(data, size);
    std::vector<std::byte> bytes(input.begin(), input.end());
    StampSignature(bytes);
    auto module = ModuleReader::FromBytes(bytes);
    if (!module) return 0;
    for (std::uint16_t type : {RT_GROUP_ICON, RT_ICON}) {
        auto names = module->EnumerateNames(type);
        if (!names) continue;
        // Every name has an entry of its own in the file: more names than that means a walk
        // that went round a loop.
        fuzz::Require(names->size() <= size / 8, "no more names than directory entries fit in the file");
        for (const ResourceName& name : *names) {
            if (auto resource = module->FindResource(type, name)) Touch(*resource);
        }
    }
    return 0;
}
