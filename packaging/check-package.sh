#!/usr/bin/env bash
# The package check: builds the Debian package in the build folder (argument) and looks inside: its
# name, files and declared dependencies, that apt can resolve them, and that the installed programs
# start: each answers --help, the desk keeps its folder in the user's data folder and, started as the
# salon terminal on an X screen, reaches ready full screen with its icon and comes back after a crash.
set -euo pipefail
cd "$1"
fail() { echo "package: $*" >&2; exit 1; }

rm -f salonya_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
deb="salonya_${version}-1_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb: $(ls ./*.deb 2>/dev/null)"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/salonya ./usr/bin/salonya-kasa ./usr/bin/salonya-demo \
         ./usr/share/applications/salonya.desktop ./usr/share/icons/hicolor/scalable/apps/salonya.svg \
         ./usr/share/icons/hicolor/48x48/apps/salonya.png ./usr/share/xsessions/salonya-kiosk.desktop \
         ./usr/share/doc/salonya/copyright ./usr/share/doc/salonya/changelog.Debian.gz ./usr/share/man/man1/salonya.1.gz; do
  grep -qx "$f" <<<"$files" || fail "$f is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libc6 libsqlite3-0 libpq5 libqt6widgets6 libqt6multimedia6 libx11-6 \
         qt6-qpa-plugins qt6-translations-l10n; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d: $depends"
done
dup=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends" | sort | uniq -d)
[ -z "$dup" ] || fail "Depends names $dup twice: $depends"
grep -q 'gstreamer1.0-plugins-good' <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "the camera's GStreamer is not recommended"
# Qt's own buttons ("Tamam", "İptal") speak Turkish only with this file of the named package.
dpkg -L qt6-translations-l10n | grep '/qtbase_tr\.qm$' >/dev/null || fail "qt6-translations-l10n has no qtbase_tr.qm"
if ! apt-get install -s "./$deb" >apt.log 2>&1; then
  if ls /var/lib/apt/lists/*Packages >/dev/null 2>&1; then cat apt.log; fail "apt cannot install it"; fi
  echo "package: apt check skipped (no package lists; apt-get update makes them)"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root"
bin="$tmp/root/usr/bin"
desktop="$tmp/root/usr/share/applications/salonya.desktop"
grep -qx 'Name=Salonya' "$desktop" && grep -qx 'Exec=salonya' "$desktop" && grep -q '^Comment\[tr\]=' "$desktop" \
  || fail "desktop entry: $(cat "$desktop")"
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$tmp/root/usr/share/doc/salonya/copyright" \
  || fail "copyright is not machine-readable"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop" || fail "desktop entry invalid"; fi

# An installed program keeps its folder in the user's data folder; --help needs no screen.
export XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config" SALONYA_NETWORK=0
unset SALONYA_PROGRAM_DIR SALONYA_DRIVES SALONYA_SHARES DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
for p in salonya salonya-kasa salonya-demo; do
  out=$("$bin/$p" --help) || fail "$p --help failed"
  grep -q -- '--help' <<<"$out" || fail "$p --help: $out"
done
grep -qF "Program klasörü: $tmp/data/salonya" <<<"$("$bin/salonya" --help)" || fail "program folder: $("$bin/salonya" --help)"

# The salon terminal: the desk on a demo salon, started with --kiosk on an X screen of its own.
"$bin/salonya-demo" --prefix "$tmp/data/salonya/drives/C/DefteryaData/01" --customers 20 >/dev/null
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" "${sup:-}" 2>/dev/null; rm -rf "$tmp"' EXIT
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$tmp/display")"
QT_LOGGING_RULES="salonya.startup.info=true" "$bin/salonya" --kiosk >"$tmp/run.log" 2>&1 &
sup=$!
readies() { grep -c 'ready in' "$tmp/run.log" || true; }
waitFor() { for _ in $(seq 600); do eval "$1" && return 0; sleep 0.1; done; cat "$tmp/run.log"; fail "$2"; }
waitFor '[ "$(readies)" -ge 1 ]' "the installed desk did not reach ready"
[ -f "$tmp/data/salonya/Salonya.Mdb" ] || fail "no Salonya.Mdb in the user's data folder"
win=$(xdotool search --name '^Salonya$' | head -1)
size=$(xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$size" = 1280x1024 ] || fail "kiosk window is $size, not the whole screen"
state=$(xprop -id "$win" _NET_WM_STATE)
grep -q FULLSCREEN <<<"$state" && grep -q ABOVE <<<"$state" || fail "kiosk window state: $state"
xprop -id "$win" _NET_WM_ICON | grep 'Icon (48 x 48)' >/dev/null || fail "the window has no icon"
# A crash brings the desk back; an ordinary end (SIGTERM closes it as EXİT does) is final.
kill -KILL "$(pgrep -P "$sup")"
waitFor '[ "$(readies)" -ge 2 ]' "the desk did not come back after a crash"
kill -TERM "$(pgrep -P "$sup")"
waitFor '! kill -0 "$sup" 2>/dev/null' "the supervisor did not end with the desk"
wait "$sup" || fail "the supervisor ended with $?"
echo "package: $deb ok"
