#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal build, the
# engine under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# The benchmarks are built (so that they keep compiling) but not run here.
scripts/build.sh -DNOBRELT_BENCH=ON
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DNOBRELT_SANITIZE=ON -DNOBRELT_GUI=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh --ci
fi
echo "All tests passed."
