#!/usr/bin/env bash
# Times extracting every icon group of the same modules with nobrelt-cli and with icoutils'
# wrestool, side by side, and reads each figure against the floor (writing the very same
# bytes with plain open/write/close) and against the window's way of driving the engine.
#
#   bench/run.sh [--quick] [--outputs DIR] [SCRATCH_DIR]
#
# SCRATCH_DIR (default ${TMPDIR:-/tmp}/nobrelt-bench) holds the generated modules and the
# results; nothing is written into the tree but build-bench/. The extracted files go to
# --outputs DIR, by default a directory on the memory file system /dev/shm, so that every
# tool is timed on what it costs itself: on an ext4 file system without a journal, creating
# files shortly after others were deleted costs a scan of the recently deleted inodes, which
# makes disk figures depend on what ran before. --quick makes fewer runs.
# Needs: hyperfine, /usr/bin/time, icoutils, binutils-mingw-w64 and Python 3 (the module
# generator reuses tests/fixtures/make-fixtures.py). Every figure is taken with a warm page cache.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=(--warmup 1 --min-runs 5 --max-runs 20)
repetitions=11
outputs=""
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) runs=(--min-runs 2 --max-runs 3); repetitions=3; shift ;;
    --outputs) outputs=$2; shift 2 ;;
    -*) sed -n '5,14p' "$0" >&2; exit 2 ;;
    *) break ;;
  esac
done
scratch=$(realpath -m "${1:-${TMPDIR:-/tmp}/nobrelt-bench}")
if [ -z "$outputs" ]; then
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then outputs=/dev/shm; else outputs=$scratch; fi
fi
mkdir -p "$scratch" "$outputs"
outputs=$(mktemp -d "$(realpath "$outputs")/nobrelt-bench-out-XXXXXX")
trap 'rm -rf "$outputs"' EXIT

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DNOBRELT_BENCH=ON -DNOBRELT_TESTS=OFF -DNOBRELT_GUI=OFF >/dev/null
cmake --build "$build" -j 2 --target nobrelt-cli window_path write_floor engine_benchmarks >/dev/null
cli="$PWD/$build/cli/nobrelt-cli"
window_path="$PWD/$build/bench/window_path"
write_floor="$PWD/$build/bench/write_floor"

bench/make-modules.py "$scratch/modules"
largest_fixture=$(ls -S tests/fixtures/*.dll tests/fixtures/*.exe | head -n 1)
modules=("$largest_fixture" "$scratch"/modules/groups-{100,1000,5000}.dll "$scratch/modules/large.dll")

# Median seconds of one command (column 4 of hyperfine's CSV: command,mean,stddev,median,...).
median_of() { awk -F, -v row="$2" 'NR == row + 1 { print $4 }' "$1"; }
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
fresh() { rm -rf "$1" && mkdir -p "$1"; }
ms() { awk -v s="$1" 'BEGIN { printf (s < 0.01 ? "%.2f" : "%.1f"), s * 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

# What starting a process costs, so that small modules can be read fairly.
startup_csv="$scratch/startup.csv"
hyperfine -N "${runs[@]}" --export-csv "$startup_csv" "$cli --version" >/dev/null 2>&1
startup=$(median_of "$startup_csv" 1)

table="$scratch/results.md"
{
  echo "| module | size | groups | wrestool | nobrelt-cli | wrestool ÷ cli | peak RSS wrestool | peak RSS cli | floor | single pass | ÷ floor | window path | window ÷ single |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
} >"$table"

for module in "${modules[@]}"; do
  name=$(basename "$module")
  out="$outputs/$name"
  echo "== $name" >&2

  # The reference output: what nobrelt-cli writes, which the floor writes again.
  fresh "$out/reference"
  "$cli" extract "$module" -o "$out/reference" >/dev/null
  groups=$(ls "$out/reference" | wc -l)
  fresh "$out/wrestool"
  wrestool -x -t14 -o "$out/wrestool" "$module"
  [ "$(ls "$out/wrestool" | wc -l)" -eq "$groups" ] ||
    echo "warning: wrestool wrote $(ls "$out/wrestool" | wc -l) files, nobrelt-cli $groups" >&2

  csv="$scratch/$name.hyperfine.csv"
  hyperfine "${runs[@]}" --export-csv "$csv" \
    --prepare "rm -rf '$out/a' '$out/b' && mkdir -p '$out/a' '$out/b'" \
    "wrestool -x -t14 -o '$out/a' '$module'" \
    "'$cli' extract '$module' -o '$out/b'" >&2
  wrestool_s=$(median_of "$csv" 1)
  cli_s=$(median_of "$csv" 2)

  fresh "$out/a"
  wrestool_kib=$(peak_kib wrestool -x -t14 -o "$out/a" "$module")
  fresh "$out/b"
  cli_kib=$(peak_kib "$cli" extract "$module" -o "$out/b")

  read -r _ floor_s _ _ _ _ < <("$write_floor" "$out/reference" "$out/floor" "$repetitions")
  read -r _ window_s _ single_s _ _ < <("$window_path" "$module" "$out/window" "$repetitions")

  size=$(du -k --apparent-size "$module" | cut -f1)
  printf '| %s | %s KiB | %s | %s ms | %s ms | %s× | %s MiB | %s MiB | %s ms | %s ms | %s× | %s ms | %s× |\n' \
    "$name" "$size" "$groups" "$(ms "$wrestool_s")" "$(ms "$cli_s")" "$(ratio "$wrestool_s" "$cli_s")" \
    "$((wrestool_kib / 1024))" "$((cli_kib / 1024))" "$(ms "$floor_s")" "$(ms "$single_s")" \
    "$(ratio "$single_s" "$floor_s")" "$(ms "$window_s")" "$(ratio "$window_s" "$single_s")" >>"$table"
done

{
  echo
  echo "Starting nobrelt-cli (\`--version\`) takes $(ms "$startup") ms of every nobrelt-cli figure."
  echo "wrestool and nobrelt-cli: median wall time of whole processes (hyperfine); floor, single pass"
  echo "and window path: median time inside one process, $repetitions repetitions, each into an empty directory."
  echo "Outputs written to $(dirname "$outputs") ($(stat -f -c %T "$outputs")); modules read from the page cache."
} >>"$table"
cat "$table"
echo "(saved in $table)" >&2
