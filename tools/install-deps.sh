#!/usr/bin/env bash
# Installs the Debian packages that Tallowby needs, and only those that are missing.
#   tools/install-deps.sh run    what building and running the program needs
#   tools/install-deps.sh test   that, plus what the test suite needs
#   tools/install-deps.sh package   that, plus what tools/package.sh needs to build and check a .deb
#   tools/install-deps.sh fuzz   that, plus clang and its libFuzzer for tools/fuzz.sh
set -euo pipefail

run_packages=(cmake make g++ pkg-config libsdl1.2-compat-dev libpng-dev cc65 retroarch-dev)
test_packages=(libgtest-dev xvfb xauth xdotool imagemagick x11-utils desktop-file-utils man-db retroarch)
package_packages=(dpkg-dev file lintian)
fuzz_packages=(clang libclang-rt-14-dev)

wanted=("${run_packages[@]}")
case "${1:-run}" in
  test) wanted+=("${test_packages[@]}") ;;
  package) wanted+=("${package_packages[@]}") ;;
  fuzz) wanted+=("${fuzz_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "All required packages are installed."
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
