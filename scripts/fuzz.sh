#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each of them for a bounded time.
#
#   scripts/fuzz.sh --ci               each target 60 s on a scratch copy of its committed
#                                      corpus; the tree stays clean (what scripts/test.sh runs)
#   scripts/fuzz.sh --long [SECONDS]   each target SECONDS (default 1800) on a corpus kept in
#                                      build-fuzz/corpus/, which grows from run to run
#
# Every run first replays the committed regression inputs (fuzz/regressions/<target>/).
# Any crash, sanitizer report, leak, timeout or broken property fails the run; the input
# that caused it is saved in fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '5,9p' "$0" | sed 's/^# \{0,1\}//' >&2; }

mode=${1:---ci}
case "$mode" in
  --ci) seconds=60 ;;
  --long) seconds=${2:-1800} ;;
  -h|--help) usage; exit 0 ;;
  *) usage; exit 2 ;;
esac
[[ "$seconds" =~ ^[0-9]+$ ]] || { usage; exit 2; }

build=build-fuzz
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOBRELT_FUZZ=ON -DNOBRELT_TESTS=OFF -DNOBRELT_GUI=OFF \
  -DNOBRELT_BENCH=OFF >/dev/null
# Only the fuzz targets (and the engine under them): nothing else of the tree is fuzzed.
mapfile -t targets < <(cut -d' ' -f1 "$build/fuzz/targets.txt")
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# The extraction target writes files at every input: keep that churn in memory where possible.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

artifacts="$PWD/fuzz/artifacts"
logs="$PWD/$build/fuzz/logs"
mkdir -p "$artifacts" "$logs"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nobrelt-fuzz-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024)

failed=()
summary=()
while read -r target dictionary; do
  [ -n "$target" ] || continue
  binary="$build/fuzz/$target"
  options=("${limits[@]}" "-artifact_prefix=$artifacts/$target-")
  [ -n "$dictionary" ] && options+=("-dict=fuzz/dictionaries/$dictionary")

  regressions=(fuzz/regressions/"$target"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "== $target: replaying ${#regressions[@]} regression inputs"
    if ! "$binary" "${limits[@]}" "${regressions[@]}" >"$logs/$target-regressions.log" 2>&1; then
      tail -n 40 "$logs/$target-regressions.log"
      failed+=("$target (regression input)")
      continue
    fi
  fi

  if [ "$mode" = --ci ]; then
    corpus="$scratch/$target"
  else
    corpus="$build/corpus/$target"
  fi
  mkdir -p "$corpus"
  if [ -d "fuzz/corpus/$target" ]; then cp -rn "fuzz/corpus/$target/." "$corpus/"; fi

  echo "== $target: fuzzing for $seconds s"
  log="$logs/$target.log"
  if "$binary" "${options[@]}" -max_total_time="$seconds" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    status=passed
  else
    status=FAILED
    tail -n 60 "$log"
    failed+=("$target")
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+=("$(printf '%-26s %-7s %12s executions, corpus %s inputs' "$target" "$status" "${runs:-?}" "$(ls "$corpus" | wc -l)")")
done <"$build/fuzz/targets.txt"

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing failed: ${failed[*]} (inputs in fuzz/artifacts/, logs in $logs/)" >&2
  exit 1
fi
echo "Fuzzing passed."
