#!/usr/bin/env bash
# The house's one rule that the compiler does not check: arrows point down. A file of the emulated
# hardware (cpu ppu apu input bus cart state) or of console/ includes nothing of app/ and no SDL
# header. Prints every include that breaks it and ends non-zero when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](app/|SDL)' \
    cpu/* ppu/* apu/* input/* bus/* cart/* state/* console/*; then
  echo "These files of the hardware or the console include app/ or SDL." >&2
  exit 1
fi
echo "No hardware or console file includes app/ or SDL."
