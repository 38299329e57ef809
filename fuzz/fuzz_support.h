#pragma once
// Helpers shared by the fuzz targets.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "tests/engine/test_support.h"

namespace nobrelt::fuzz {

// The fuzzer's input as engine bytes.
inline std::span<const std::byte> InputBytes(const std::uint8_t* data, std::size_t size) {
    return std::as_bytes(std::span(data, size));
}

// A property every input must keep; breaking it is reported like a crash.
inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

// One scratch directory for the whole fuzzing process, removed at exit.
inline const test::TempDir& ScratchDir() {
    static const test::TempDir dir;
    return dir;
}

}  // namespace nobrelt::fuzz
