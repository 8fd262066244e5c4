#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a player gets: the files in place,
# the installed program run from an unrelated folder with its demo cartridge (given, and found by
# itself when no ROM is given), the menu entry accepted by desktop-file-validate and the manual
# page rendered by man without warnings.   install_test.sh BUILD_FOLDER
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr > "$scratch/install.log" || { cat "$scratch/install.log"; exit 1; }
usr="$scratch/root/usr"
for file in bin/tallowby share/tallowby/demo.nes share/man/man6/tallowby.6.gz share/applications/tallowby.desktop \
            share/icons/hicolor/48x48/apps/tallowby.png share/icons/hicolor/128x128/apps/tallowby.png; do
  [ -s "$usr/$file" ] || fail "$file is not installed"
done
for size in 48 128; do  # the PNG header's width and height
  read -r -a header < <(od -An -tu1 -j16 -N8 "$usr/share/icons/hicolor/${size}x$size/apps/tallowby.png")
  [ "${header[*]}" = "0 0 0 $size 0 0 0 $size" ] || fail "the ${size}x$size icon is ${header[*]}"
done

# From an unrelated folder that holds no key map: the key map of the configuration folder serves.
mkdir -p "$scratch/elsewhere" "$scratch/config/tallowby"
printf '\x7a\x00\x78\x00\x2f\x01\x0d\x00\x11\x01\x12\x01\x14\x01\x13\x01' > "$scratch/config/tallowby/keymap.cfg"
cd "$scratch/elsewhere"
export XDG_CONFIG_HOME="$scratch/config" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
"$usr/bin/tallowby" "$usr/share/tallowby/demo.nes" -headless -frames 60 -screenshot shot.png > run.log \
  || { cat run.log; fail "the installed demo does not run headless"; }
[ -s shot.png ] || fail "no screenshot of the demo"
# No ROM: the program plays the demo it finds beside itself, until Ctrl+C.
timeout --preserve-status -s INT 3 "$usr/bin/tallowby" > demo.log || { cat demo.log; fail "the demo run failed"; }
grep -qx "Loading ROM: $usr/share/tallowby/demo.nes" demo.log || { cat demo.log; fail "the demo was not found"; }
grep -q "not found" demo.log && { cat demo.log; fail "the configuration folder's key map was not used"; }

desktop-file-validate "$usr/share/applications/tallowby.desktop" || fail "desktop-file-validate"
warnings=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man6/tallowby.6.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warns: $warnings"
echo "The installed program, its demo, menu entry and manual page are in order."
