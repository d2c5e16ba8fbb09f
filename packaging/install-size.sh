#!/usr/bin/env bash
# What a package costs on a minimal Debian 12 (debootstrap minbase: Priority required + apt), computed by apt
# against a stand-in dpkg status that lists only that base. Usage: install-size.sh ./salonya_*.deb [recommends 0|1]
set -euo pipefail
deb=$(realpath "$1")
work=${TMPDIR:-/tmp}/salonya-install-size; mkdir -p "$work"; cd "$work"
if [ ! -s base.status ]; then
  : >empty.status
  base=$(apt-cache dumpavail | awk '/^Package:/{p=$2} /^Priority: required/{print p}' | sort -u)
  apt-get -s -o Dir::State::status=empty.status -o APT::Install-Recommends=0 install $base apt 2>/dev/null \
    | awk '/^Inst /{print $2}' | sort -u >base.list
  apt-cache show --no-all-versions $(cat base.list) | awk 'BEGIN{RS="";ORS="\n\n"} {print $0 "\nStatus: install ok installed"}' >base.status
fi
apt-get -s -o Dir::State::status=base.status -o APT::Install-Recommends="${2:-0}" install "$deb" 2>/dev/null \
  | awk '/^Inst /{print $2}' | sort -u >closure.list
kb=$(apt-cache show --no-all-versions $(cat closure.list) 2>/dev/null | awk '/^Installed-Size:/{s+=$2} END{print s}')
echo "$(wc -l <closure.list) packages, $((kb / 1024)) MB installed (base: $(wc -l <base.list) packages)"
