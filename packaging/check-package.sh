#!/usr/bin/env bash
# The package check: builds the Debian package in the build folder (argument) and looks inside: its
# name, files and declared dependencies, that apt can resolve them, and that the installed programs
# start: each answers --help, the desk keeps its folder in the user's data folder and reaches ready.
set -euo pipefail
cd "$1"
fail() { echo "package: $*" >&2; exit 1; }

rm -f salonya_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
deb="salonya_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb: $(ls ./*.deb 2>/dev/null)"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/salonya ./usr/bin/salonya-kasa ./usr/bin/salonya-demo \
         ./usr/share/applications/salonya.desktop ./usr/share/icons/hicolor/scalable/apps/salonya.svg; do
  grep -qx "$f" <<<"$files" || fail "$f is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libc6 libsqlite3-0 libqt6widgets6 libqt6multimedia6 libqt6multimediawidgets6 libx11-6 \
         qt6-qpa-plugins gstreamer1.0-plugins-base gstreamer1.0-plugins-good; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d: $depends"
done
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
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop" || fail "desktop entry invalid"; fi

# An installed program keeps its folder in the user's data folder; --help needs no screen.
export XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config" SALONYA_NETWORK=0
unset SALONYA_PROGRAM_DIR SALONYA_DRIVES SALONYA_SHARES DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
for p in salonya salonya-kasa salonya-demo; do
  out=$("$bin/$p" --help) || fail "$p --help failed"
  grep -q -- '--help' <<<"$out" || fail "$p --help: $out"
done
grep -qF "Program klasörü: $tmp/data/salonya" <<<"$("$bin/salonya" --help)" || fail "program folder: $("$bin/salonya" --help)"

# The desk starts on a demo salon in that folder and reaches the ready state.
"$bin/salonya-demo" --prefix "$tmp/data/salonya/drives/C/DefteryaData/01" --customers 20 >/dev/null
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="salonya.startup.info=true" "$bin/salonya" >"$tmp/run.log" 2>&1 &
pid=$!
for _ in $(seq 600); do
  grep -q 'ready in' "$tmp/run.log" || ! kill -0 "$pid" 2>/dev/null && break
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
grep -q 'ready in' "$tmp/run.log" || { cat "$tmp/run.log"; fail "the installed desk did not reach ready"; }
[ -f "$tmp/data/salonya/Salonya.Mdb" ] || fail "no Salonya.Mdb in the user's data folder"
echo "package: $deb ok"
