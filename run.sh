#!/usr/bin/env bash
# Installs what is missing, builds a Release binary of Tallowby and runs it with the given arguments;
# with none, it plays the demo cartridge.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

"$here/tools/install-deps.sh" run

folder="$here/build/release"
echo "Building Tallowby (Release) in $folder"
mkdir -p "$folder"
cmake -S "$here" -B "$folder" -DCMAKE_BUILD_TYPE=Release -DTALLOWBY_TESTS=OFF > "$folder/configure.log" 2>&1 \
  || { cat "$folder/configure.log"; exit 1; }
cmake --build "$folder" -j "$(nproc)" > "$folder/build.log" 2>&1 || { cat "$folder/build.log"; exit 1; }

# With no ROM, play the project's own demo cartridge.
if [ $# -eq 0 ]; then
  echo "No ROM given: playing the demo cartridge."
  set -- "$folder/demo/demo.nes"
fi
exec "$folder/tallowby" "$@"
