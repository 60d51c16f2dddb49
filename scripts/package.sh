#!/usr/bin/env bash
# Makes the release in dist/: for x64 and x86 a portable zip and a per-user
# installer, and SHA256SUMS. Builds the release presets (size-optimised, no
# symbols) and prints the size of every shipped file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for arch in x64 x86; do
  cmake --preset "release-$arch" >/dev/null
  cmake --build --preset "release-$arch"
done
scripts/check-xp-imports.sh build/release-x86/bin

version=$(cat build/release-x64/product-version.txt)
rm -rf dist
mkdir -p dist
for arch in x64 x86; do
  build=build/release-$arch
  stage=$build/stage/Sonarel
  rm -rf "$build/stage"
  mkdir -p "$stage"
  cp "$build/bin/Sonarel.exe" "$build/bin/SonarelSettings.exe" "$build/bin/QuickStartGuide.htm" \
     "$build/bin/Sonarel128.png" "$stage/"
  # Notepad on older Windows wants CRLF line ends.
  sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/ReadMe.txt > "$stage/ReadMe.txt"
  touch -d @0 "$stage"/*  # the same bytes in, the same zip out
  (cd "$build/stage" && rm -f "../Sonarel.zip" && zip -q -X -r "../Sonarel.zip" Sonarel)
  mv "$build/Sonarel.zip" "dist/Sonarel-$version-$arch.zip"
  makensis -V2 -DVERSION="$version" -DARCH="$arch" -DSOURCE="$PWD/$stage" \
    -DICON="$PWD/$build/artwork/sonarel.ico" -DOUTFILE="$PWD/dist/Sonarel-$version-$arch-setup.exe" \
    packaging/sonarel.nsi
done
(cd dist && sha256sum -- *.zip *.exe > SHA256SUMS)

echo "== Shipped files (bytes)"
for arch in x64 x86; do
  for file in Sonarel.exe SonarelSettings.exe QuickStartGuide.htm Sonarel128.png; do
    printf '%9d  %s/%s\n' "$(stat -c %s "build/release-$arch/bin/$file")" "$arch" "$file"
  done
done
for file in dist/*; do printf '%9d  %s\n' "$(stat -c %s "$file")" "$file"; done
