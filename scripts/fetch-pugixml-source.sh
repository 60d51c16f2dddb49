#!/usr/bin/env bash
# Fetches and unpacks Debian's pugixml source package, the same version as the
# installed libpugixml-dev, into DEST (default: build/third_party/pugixml).
# Uses a private apt configuration: the machine's own sources stay untouched.
set -euo pipefail

dest=${1:?usage: fetch-pugixml-source.sh DEST}
[ -f "$dest/src/pugixml.cpp" ] && exit 0

version=$(dpkg-query -W -f='${source:Version}' libpugixml-dev)
mirror=$(sed -n 's/^URIs:[[:space:]]*\(.*\/debian\)[[:space:]]*$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
echo "deb-src $mirror $codename main" > "$work/sources.list"
apt_opts=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
          -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o "APT::Sandbox::User=root")
apt-get "${apt_opts[@]}" -qq update
(cd "$work" && apt-get "${apt_opts[@]}" -qq source --download-only "pugixml=$version" >/dev/null)
# apt has checked the files against the signed index; dpkg-source's own
# signature check has no keyring here and only warns.
dpkg-source -x "$work"/pugixml_*.dsc "$work/unpacked" >"$work/unpack.log" 2>&1 || { cat "$work/unpack.log" >&2; exit 1; }
mkdir -p "$(dirname "$dest")"
rm -rf "$dest"
mv "$work/unpacked" "$dest"
