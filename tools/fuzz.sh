#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs each for SECONDS, or only TARGET (image or text), one after the other at the lowest
# priority. The runs grow a working corpus in build/fuzz/corpus/TARGET from the seeds in
# fuzz/corpus/TARGET; inputs that crash, hang or leak are kept in fuzz/crashes/TARGET/.
# Ends non-zero when a run found any.
#   tools/fuzz.sh SECONDS [TARGET]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

seconds=${1:?usage: tools/fuzz.sh SECONDS [image|text]}
targets=(${2:-image text})

tools/install-deps.sh fuzz
mkdir -p build
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWBY_FUZZ=ON \
  -DTALLOWBY_TESTS=OFF -DTALLOWBY_SANITIZE=address,undefined > build/fuzz.configure.log 2>&1 \
  || { cat build/fuzz.configure.log; exit 1; }

found=0
for target in "${targets[@]}"; do
  nice -n 19 cmake --build build/fuzz --target "fuzz_$target" -j 2
  corpus=build/fuzz/corpus/$target
  crashes=fuzz/crashes/$target
  mkdir -p "$corpus" "$crashes"
  before=$(ls "$crashes" | wc -l)
  echo "== Fuzzing $target for $seconds s (log: build/fuzz/$target.log)"
  status=0
  nice -n 19 "build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$corpus" "fuzz/corpus/$target" > "build/fuzz/$target.log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec)' "build/fuzz/$target.log" || true
  after=$(ls "$crashes" | wc -l)
  if [ "$status" -ne 0 ] || [ "$after" -gt "$before" ]; then
    echo "Fuzzing $target found $((after - before)) new input(s) in $crashes (exit status $status); see the log."
    found=1
  fi
done
exit $found
