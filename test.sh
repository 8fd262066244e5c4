#!/usr/bin/env bash
# Installs what is missing, builds Tallowby and runs every test: once in a normal build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the threading tests under ThreadSanitizer.
# Ends non-zero when anything fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"

tools/install-deps.sh test

jobs=$(nproc)
export TALLOWBY_TEST_ROMS="${TALLOWBY_TEST_ROMS:-$here/../shared/roms}"
[ -d "$TALLOWBY_TEST_ROMS" ] || echo "Note: no test ROM folder at $TALLOWBY_TEST_ROMS; the tests that need it are skipped."

build() {  # build FOLDER TARGET [cmake options...]
  local folder=$1 target=$2; shift 2
  cmake -S . -B "$folder" -DTALLOWBY_WERROR=ON "$@" > "$folder.configure.log" 2>&1 || { cat "$folder.configure.log"; exit 1; }
  cmake --build "$folder" --target "$target" -j "$jobs"
}

echo "== Layers: the hardware and the console include nothing of app/ or SDL"
tools/check_layers.sh

mkdir -p build
echo "== Normal build and tests"
build build/test all -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build/test --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
build build/asan all -DCMAKE_BUILD_TYPE=Debug -DTALLOWBY_SANITIZE=address,undefined
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$here/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== ThreadSanitizer: threading tests"
build build/tsan test_app -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWBY_SANITIZE=thread
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -R 'AudioThreads'
