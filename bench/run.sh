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

# Each run kept on the last processor where taskset is at hand: a run moved between processors
# varies more.
pin=()
command -v taskset > /dev/null && pin=(taskset -c "$(($(nproc) - 1))")

# The median frames per second of `runs` runs of one cartridge: median CARTRIDGE [FLAG].
median() {
  for ((run = 0; run < runs; ++run)); do
    { "${pin[@]}" "$folder/tallowby" "$1" -headless -benchmark -frames "$frames" ${2:-} || true; } \
      | awk '/^Benchmark:/ { print $(NF - 3) }'
  done | sort -n | awk '
    { fps[NR] = $1 }
    END {
      if (NR == 0) { print "failed"; exit }
      median = NR % 2 ? fps[(NR + 1) / 2] : (fps[NR / 2] + fps[NR / 2 + 1]) / 2
      printf "%.0f %.0f %.0f\n", median, fps[1], fps[NR]
    }'
}

echo "$frames frames per run, $runs runs each, $(nproc) processors"
printf '%-16s %-9s %9s %21s\n' "cartridge" "mode" "median" "spread (min-max)"
for cartridge in "${cartridges[@]}"; do
  for mode in pixel scanline; do
    flag=""
    [ "$mode" = scanline ] && flag=-scanline
    median "$cartridge" $flag | awk -v name="$(basename "$cartridge")" -v mode="$mode" '
      $1 == "failed" { printf "%-16s %-9s %9s\n", name, mode, "failed"; next }
      { printf "%-16s %-9s %9.0f %10.0f - %-8.0f\n", name, mode, $1, $2, $3 }'
  done
done
echo "(frames per second)"

# Rewind: what keeping its history (-rewind 60, a state every 8 frames) costs, on each cartridge in
# pixel mode.
echo
printf '%-16s %9s %9s %11s\n' "rewind" "kept" "none" "extra time"
for cartridge in "${cartridges[@]}"; do
  kept=$(median "$cartridge" "-rewind 60" | cut -d' ' -f1)
  none=$(median "$cartridge" | cut -d' ' -f1)
  awk -v name="$(basename "$cartridge")" -v k="$kept" -v n="$none" \
    'BEGIN { printf "%-16s %9.0f %9.0f %10.1f%%\n", name, k, n, (n / k - 1) * 100 }'
done
echo "(frames per second; extra time per frame with the history kept)"

# The sound chips: tests/roms/chip_notes.s with eight Namco 163 channels, or a VRC7 chord, playing
# throughout (its chip number + 0x40 at 0xFFF9), against the same program leaving the chip silent
# (+ 0x80), in pixel mode.
chips="$folder/bench"
mkdir -p "$chips"
ca65 -I "$here/tests/roms" -o "$chips/chip_notes.o" "$here/tests/roms/chip_notes.s"
ld65 -C "$here/tests/roms/nrom.cfg" -o "$chips/chip_notes.nes" "$chips/chip_notes.o"
byte() { printf "\\$(printf %03o "$1")" | dd of="$2" bs=1 seek="$3" conv=notrunc status=none; }
echo
printf '%-16s %9s %9s %11s\n' "sound chip" "playing" "silent" "extra time"
for chip in "Namco163 19 3" "VRC7 85 4"; do
  read -r name mapper number <<< "$chip"
  for variant in playing silent; do
    rom="$chips/$name-$variant.nes"
    cp "$chips/chip_notes.nes" "$rom"
    byte $(((mapper & 15) << 4)) "$rom" 6
    byte $((mapper & 0xF0)) "$rom" 7
    offset=0x80
    [ "$variant" = playing ] && offset=0x40
    byte $((number + offset)) "$rom" $((16 + 0x7FF9))
  done
  playing=$(median "$chips/$name-playing.nes" | cut -d' ' -f1)
  silent=$(median "$chips/$name-silent.nes" | cut -d' ' -f1)
  awk -v name="$name" -v p="$playing" -v s="$silent" \
    'BEGIN { printf "%-16s %9.0f %9.0f %10.1f%%\n", name, p, s, (s / p - 1) * 100 }'
done
echo "(frames per second; extra time per frame while the chip plays)"
