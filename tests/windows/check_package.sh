#!/bin/sh
# Packs the 32-bit build into a scratch folder and checks that the zip holds
# the two deliverables and the README, and nothing else.
# Usage: check_package.sh CPACK CMAKE BUILD_FOLDER SCRATCH_FOLDER
set -eu
cpack=$1 cmake=$2 build=$3 scratch=$4

rm -rf "$scratch"
mkdir -p "$scratch"
"$cpack" --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" ||
  { cat "$scratch/cpack.log" >&2; exit 1; }
zip=$(find "$scratch" -maxdepth 1 -name '*.zip')
[ "$(printf '%s\n' "$zip" | wc -l)" -eq 1 ] && [ -n "$zip" ] ||
  { echo "expected one zip in $scratch, found: $zip" >&2; exit 1; }

listing=$(cd "$scratch" && "$cmake" -E tar tf "$zip" | sort | tr '\n' ' ')
expected="README.md raidvol-nosize.exe raidvol-sized.exe "
[ "$listing" = "$expected" ] ||
  { echo "$zip holds: $listing; expected: $expected" >&2; exit 1; }
echo "$zip holds $listing"
