#!/usr/bin/env bash
# Builds the Debian package of Tallowby with CPack and checks it with lintian.
#   tools/package.sh    leaves build/package/tallowby_VERSION_ARCH.deb and prints its path
# Installs what is missing (dpkg-dev for dpkg-shlibdeps, file, lintian); ends non-zero when the
# build fails or lintian reports an error. Lintian's warnings are printed, not fatal.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

tools/install-deps.sh package

umask 022  # the modes Debian expects of the package's folders and files
folder=build/package
mkdir -p "$folder"
# Debian keeps games in /usr/games; the demo stays in /usr/share/tallowby, beside it as the program expects.
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release -DTALLOWBY_TESTS=OFF -DCMAKE_INSTALL_BINDIR=games \
  > "$folder/configure.log" 2>&1 \
  || { cat "$folder/configure.log"; exit 1; }
cmake --build "$folder" -j "$(nproc)" > "$folder/build.log" 2>&1 || { cat "$folder/build.log"; exit 1; }
rm -f "$folder"/*.deb
(cd "$folder" && cpack -G DEB > cpack.log 2>&1) || { cat "$folder/cpack.log"; exit 1; }
package=$(ls "$folder"/*.deb)

echo "Checking $package with lintian"
# lintian ends non-zero on errors only (its default --fail-on error).
lintian --info "$package" || { echo "lintian reports errors in $package"; exit 1; }
echo "Package: $package"
