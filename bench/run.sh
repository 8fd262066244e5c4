#!/usr/bin/env bash
# Times Tallowby headless and unpaced: the benchmark ROM and the demo cartridge, in pixel and in
# scanline mode, a few runs each, and prints the frames per second as median and spread.
#   bench/run.sh
# Environment: TALLOWBY_BENCH_ROM (default ../shared/bench/bench30k.nes beside the repository),
# BENCH_RUNS (default 5), BENCH_FRAMES (default 3000).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
rom=${TALLOWBY_BENCH_ROM:-$here/../shared/bench/bench30k.nes}
runs=${BENCH_RUNS:-5}
frames=${BENCH_FRAMES:-3000}

# The Release build of ./run.sh, configured once and brought up to date.
folder="$here/build/release"
if [ ! -f "$folder/CMakeCache.txt" ]; then
  "$here/tools/install-deps.sh" run
  echo "Configuring a Release build in $folder"
  mkdir -p "$folder"
  cmake -S "$here" -B "$folder" -DCMAKE_BUILD_TYPE=Release -DTALLOWBY_TESTS=OFF > "$folder/configure.log" 2>&1 \
    || { cat "$folder/configure.log"; exit 1; }
fi
cmake --build "$folder" -j "$(nproc)" > "$folder/build.log" 2>&1 || { cat "$folder/build.log"; exit 1; }

cartridges=()
[ -f "$rom" ] && cartridges+=("$rom") || echo "No benchmark ROM at $rom (set TALLOWBY_BENCH_ROM)."
[ -f "$folder/demo/demo.nes" ] && cartridges+=("$folder/demo/demo.nes")
[ ${#cartridges[@]} -gt 0 ] || { echo "Nothing to time."; exit 1; }

echo "$frames frames per run, $runs runs each, $(nproc) processors"
printf '%-16s %-9s %9s %21s\n' "cartridge" "mode" "median" "spread (min-max)"
for cartridge in "${cartridges[@]}"; do
  for mode in pixel scanline; do
    flag=""
    [ "$mode" = scanline ] && flag=-scanline
    for ((run = 0; run < runs; ++run)); do
      { "$folder/tallowby" "$cartridge" -headless -benchmark -frames "$frames" $flag || true; } \
        | awk '/^Benchmark:/ { print $(NF - 3) }'
    done | sort -n | awk -v name="$(basename "$cartridge")" -v mode="$mode" '
      { fps[NR] = $1 }
      END {
        if (NR == 0) { printf "%-16s %-9s %9s\n", name, mode, "failed"; exit }
        median = NR % 2 ? fps[(NR + 1) / 2] : (fps[NR / 2] + fps[NR / 2 + 1]) / 2
        printf "%-16s %-9s %9.0f %10.0f - %-8.0f\n", name, mode, median, fps[1], fps[NR]
      }'
  done
done
echo "(frames per second)"
