#!/usr/bin/env bash
# Installs what the builds and tests need, from Debian's packages only.
# Idempotent: installs nothing when everything is present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3
  g++-multilib qemu-user-static      # the core as 32-bit x87 code
  clang libclang-rt-14-dev           # libFuzzer and the sanitizer runtimes
  libpugixml-dev dpkg-dev            # pugixml; dpkg-source unpacks its source package
  googletest libgtest-dev libbenchmark-dev valgrind
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth xdotool x11-utils imagemagick
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils  # several monitors: Xorg's dummy driver
  nsis zip unzip                     # the release: installers and portable zips
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
