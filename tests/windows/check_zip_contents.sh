#!/bin/sh
# Packs a Windows build, whose zip must hold the two programs exactly as
# built, the README and the licence, and nothing else.
# Usage: check_zip_contents.sh CMAKE CPACK BUILD_FOLDER SCRATCH
set -eu
cmake=$1 cpack=$2 build=$3 scratch=$4
zip=raidvol-${build##*/}.zip
rm -rf "$scratch"
mkdir -p "$scratch/unpacked"
"$cpack" --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/log" ||
  { cat "$scratch/log" >&2; exit 1; }
cd "$scratch/unpacked"
[ "$(echo ../*.zip)" = "../$zip" ] || { echo "made: $(echo ../*.zip)" >&2; exit 1; }
"$cmake" -E tar xf "../$zip"
listing=$(find . -type f | sort | tr '\n' ' ')
[ "$listing" = "./LICENSE ./README.md ./raidvol-nosize.exe ./raidvol-sized.exe " ] ||
  { echo "$zip holds $listing" >&2; exit 1; }
cmp "$build/raidvol-nosize.exe" raidvol-nosize.exe
cmp "$build/raidvol-sized.exe" raidvol-sized.exe
